// The interactive stand-in AutoCAD of the Linux program: a drawing window
// with a sample pile layout, registered as the running "AutoCAD.Application"
// while it is open. Closing it is AutoCAD no longer running.
#pragma once

#include <QWidget>

#include "automation/directory.h"

namespace velmora::standins {

// Opens the window and registers the application in the directory. The
// window lives until the program ends; closing it revokes the registration.
QWidget* OpenStandInCadWindow(LocalDirectory& directory);

}  // namespace velmora::standins
