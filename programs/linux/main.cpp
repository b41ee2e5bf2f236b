// The Linux program: the main window with the stand-in AutoCAD (its drawing
// window, registered as the running "AutoCAD.Application" while open) and
// the stand-in Excel, all reached through an in-process ProgID directory.
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QScreen>
#include <string>

#include "app/for_tamrisk.h"
#include "app/qt/fonts.h"
#include "app/qt/main_window.h"
#include "automation/directory.h"
#include "command_line.h"
#include "standins/autocad_window/cad_window.h"
#include "standins/excel/desktop_output.h"

namespace {

// Beside the drawing window when the screen has room, so neither hides the other.
void PlaceBeside(QWidget& window, const QWidget& drawing) {
    const QRect screen = drawing.screen()->availableGeometry();
    const QPoint place(drawing.frameGeometry().right() + 16, drawing.frameGeometry().top());
    if (place.x() + window.frameGeometry().width() <= screen.right()) window.move(place);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication::setApplicationName(QStringLiteral("velmora"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VELMORA_VERSION));
    {
        const QCoreApplication withoutWindows(argc, argv);
        velmora::AnswerHelpOrVersion(withoutWindows);
    }
    QApplication application(argc, argv);
    const QString drawingPath = velmora::ReadDrawingArgument(application);
    // Closing the main window ends the program, whatever else is open.
    application.setQuitOnLastWindowClosed(false);
    velmora::InstallChineseFontSubstitutes();

    velmora::LocalDirectory directory;
    QPointer<QWidget> mainWindow;
    // What the stand-in Excel could not show on the desktop.
    velmora::standins::RegisterStandInExcelForDesktop(
        directory, [&mainWindow](const std::string& text) {
            QMessageBox::warning(mainWindow, QStringLiteral("Excel"), QString::fromStdString(text));
        });
    // AutoCAD is running with its drawing before Velmora starts: the one
    // named on the command line, else the sample drawing.
    QWidget* drawing = velmora::standins::OpenStandInCadWindow(
        directory, drawingPath.isEmpty() ? velmora::standins::FindSampleDrawing() : drawingPath);

    velmora::WindowServices services{directory};
    velmora::ForTamrisk window(std::move(services));
    velmora::QtMainWindow view(window);
    mainWindow = &view;
    PlaceBeside(view, *drawing);
    view.show();
    return application.exec();
}
