// The desktop program.
#include "gui/TQtUserInterface.h"
#include "gui/TfrmMainWnd.h"

#include <QApplication>
#include <QGuiApplication>

int main(int argc, char** argv)
{
    // Fractional screen scales (125 %, 150 %) are used as they are, not rounded to whole
    // numbers, so that every size stays proportional on high-DPI screens.
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
    QApplication app(argc, argv);
    QApplication::setApplicationName("Orbelin");
    orbelin::gui::TQtUserInterface ui;
    orbelin::SetUserInterface(&ui);
    int status = 0;
    {
        orbelin::gui::TfrmMainWnd window;
        window.show();
        status = QApplication::exec();
    }
    orbelin::SetUserInterface(nullptr);
    return status;
}
