#pragma once

#include "core/result.h"

#include <QString>

// Starting Velmira with the desktop session: an XDG autostart entry that starts it in the
// notification area (velmira --in-tray).
namespace Velmira::Autostart {

// $XDG_CONFIG_HOME/autostart/velmira.desktop (~/.config when it is not set).
QString entryPath();
bool isOn();
// Writes or removes the entry; a failure names the path and the reason.
Result set(bool on);

} // namespace Velmira::Autostart
