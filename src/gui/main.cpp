// The desktop program.
#include "gui/TfrmMainWnd.h"
#include "numeric/Missing.h"

#include <QApplication>
#include <QTimer>

#include <clocale>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // Qt takes the user's locale; the core's number texts always use ".".
    std::setlocale(LC_NUMERIC, "C");
    orbelin::NumericTolerance = 1e-5;
    orbelin::gui::TfrmMainWnd window;
    window.show();
    QTimer::singleShot(1000, &window, [&window] { window.LoadDemo(); });
    return app.exec();
}
