// The desktop program.
#include "gui/TQtUserInterface.h"
#include "gui/TfrmMainWnd.h"

#include <QApplication>

int main(int argc, char** argv)
{
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
