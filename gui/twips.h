#pragma once

#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QRect>
#include <QScreen>

#include <cmath>

// Lengths of the windows' design are in twips: 1/1440 inch, 15 to a pixel at 96 dots per inch
// (fewer on a screen of more logical dots per inch, where the fonts' points are larger too).
//
// The design was drawn for a desktop whose text is 9 pt. Desktop fonts of up to 11 pt are
// usual and leave it as drawn; a user who has set the desktop's font to 12 pt or more gets the
// whole design (its lengths and its fonts alike) grown by the ratio of that font to 9 pt, read
// from the application's font (the platform theme's, or QApplication::setFont) when a window is
// built. At 14 pt the 6.75 pt text becomes 10.5 pt.
namespace Velmira::Twips {

inline constexpr double PerPixel = 15.0;
inline constexpr double DesignDesktopPoints = 9.0;
inline constexpr double LargeDesktopPoints = 12.0;

// How much larger than drawn the design is shown: the desktop's font size / 9 pt where that
// font is large, times the screen's logical dots per inch / 96 (points grow with them too).
inline double scale()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchY() : 96.0;
    const QFont desktop = QGuiApplication::font();
    double points = desktop.pointSizeF();
    if (points <= 0) // a font given in pixels
        points = desktop.pixelSize() * 72.0 / dpi;
    return (points >= LargeDesktopPoints ? points / DesignDesktopPoints : 1.0) * dpi / 96.0;
}

// Whole pixels for a length in twips; halves go to the even neighbour.
inline int toPixels(double twips)
{
    return int(std::nearbyint(twips * scale() / PerPixel));
}

// A rectangle given in twips (left, top, width, height), in pixels. The edges are rounded on
// their own, so controls that end at the same twip end at the same pixel.
inline QRect toPixels(double left, double top, double width, double height)
{
    return QRect(QPoint(toPixels(left), toPixels(top)),
                 QPoint(toPixels(left + width) - 1, toPixels(top + height) - 1));
}

inline double fromPixels(int pixels)
{
    return pixels * PerPixel / scale();
}

// The design's text font: Verdana, or the system's own sans-serif font, at `points` (6.75 pt
// unless said otherwise), grown with the design. A family the system lacks is not asked for by
// name: the font matcher would search the system's fallbacks for it before the first text could
// be laid out.
inline QFont smallFont(qreal points = 6.75)
{
    static const bool hasVerdana = QFontDatabase::hasFamily(QStringLiteral("Verdana"));
    QFont font = hasVerdana ? QFont(QStringLiteral("Verdana")) : QFont();
    font.setPointSizeF(points * scale());
    return font;
}

} // namespace Velmira::Twips
