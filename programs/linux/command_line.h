// The Linux program's command line: velmora [FILE.dxf], -h/--help,
// --help-all and -v/--version. Help and messages are in Chinese where the
// locale's language for messages is Chinese, else in English.
#pragma once

#include <QString>

class QApplication;
class QCoreApplication;

namespace velmora {

// When the command line asks for help or the version, prints it and ends
// the program with status 0; otherwise returns. Needs no window system, so
// it answers without a display too. --help-all, which lists the window
// system's options as well, is left to ReadDrawingArgument.
void AnswerHelpOrVersion(const QCoreApplication& application);

// The drawing named on the command line, or empty. A command line it
// cannot take (an unknown option, more than one drawing) is said on stderr
// and ends the program with status 1. The application has taken Qt's own
// options (-platform, -display …) out of the command line by then.
QString ReadDrawingArgument(const QApplication& application);

}  // namespace velmora
