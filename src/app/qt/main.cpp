// The Linux program: the main window with the stand-in AutoCAD (its drawing
// window, registered as the running "AutoCAD.Application" while open) and
// the stand-in Excel, all reached through an in-process ProgID directory.
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <string>

#include "app/for_tamrisk.h"
#include "app/qt/fonts.h"
#include "app/qt/main_window.h"
#include "automation/directory.h"
#include "standins/excel/desktop_output.h"
#ifdef HAVE_VELMORA_STANDIN_CAD_QT
#include "standins/autocad/qt/cad_window.h"
#endif

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    // Closing the main window ends the program, whatever else is open.
    application.setQuitOnLastWindowClosed(false);
    velmora::InstallChineseFontSubstitutes();

    velmora::LocalDirectory directory;
    QPointer<QWidget> mainWindow;
    // What the stand-in Excel could not show on the desktop.
    velmora::standins::RegisterStandInExcelForDesktop(directory, [&mainWindow](std::string text) {
        QMessageBox::warning(mainWindow, QStringLiteral("Excel"), QString::fromStdString(text));
    });
#ifdef HAVE_VELMORA_STANDIN_CAD_QT
    // TODO: open the stand-in AutoCAD's drawing window here.
#endif

    velmora::WindowServices services;
    services.directory = &directory;
    velmora::ForTamrisk window(std::move(services));
    velmora::QtMainWindow view(window);
    mainWindow = &view;
    view.show();
    return application.exec();
}
