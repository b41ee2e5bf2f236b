// The Linux program: the main window with the stand-in AutoCAD (its drawing
// window, registered as the running "AutoCAD.Application" while open) and
// the stand-in Excel, all reached through an in-process ProgID directory.
#include <QApplication>

#include "app/for_tamrisk.h"
#include "app/qt/fonts.h"
#include "app/qt/main_window.h"
#include "automation/directory.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    // Closing the main window ends the program, whatever else is open.
    application.setQuitOnLastWindowClosed(false);
    velmora::InstallChineseFontSubstitutes();

    velmora::LocalDirectory directory;
    // TODO: open the stand-in AutoCAD drawing window and register the
    // stand-in Excel here once they are available.

    velmora::WindowServices services;
    services.directory = &directory;
    velmora::ForTamrisk window(std::move(services));
    velmora::QtMainWindow view(window);
    view.show();
    return application.exec();
}
