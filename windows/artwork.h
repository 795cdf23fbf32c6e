#pragma once

#include <QIcon>
#include <QPixmap>

namespace Velmira {

// The program's own pictures, PNG files in the Qt resource ":/velmira/art" (drawn by
// scripts/draw-artwork). Loading them is cheap; nothing is drawn at run time.

// The window icon with images of 16, 32 and 48 pixels square.
QIcon windowIcon();

// The About window's banner, 527 x 79 pixels.
QPixmap banner();

} // namespace Velmira
