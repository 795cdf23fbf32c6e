#pragma once

#include <QIcon>
#include <QPixmap>

namespace Velmira {

// The program's own pictures. The window icon and the banner are PNG files in the Qt resource
// ":/velmira/art" (drawn by scripts/draw-artwork); the toolbar images are drawn in code. None
// of them is read or drawn before a window first asks for a size of it, so building the
// windows costs no image decoding.

// The window icon with images of 16, 32 and 48 pixels square.
QIcon windowIcon();

// The About window's banner, 527 x 79 pixels.
QPixmap banner();

// The images of the main window's toolbar buttons.
enum class ToolbarImage
{
    Start,
    Stop,
    Information,
    Load,
    Save
};

// A toolbar image, drawn as shapes at whatever size and device pixel ratio a button asks
// for; in the disabled mode it is drawn in greys.
QIcon toolbarIcon(ToolbarImage image);

} // namespace Velmira
