#pragma once

#include <QFont>
#include <QFontDatabase>
#include <QRect>

#include <cmath>

// Lengths of the windows' design are in twips: 1/1440 inch, 15 to a pixel at 96 dots per inch.
namespace Velmira::Twips {

inline constexpr double PerPixel = 15.0;

// Whole pixels for a length in twips; halves go to the even neighbour.
inline int toPixels(double twips)
{
    return int(std::nearbyint(twips / PerPixel));
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
    return pixels * PerPixel;
}

// The design's text font: Verdana, or the system's own sans-serif font, at `points` (6.75 pt
// unless said otherwise). A family the system lacks is not asked for by name: the font matcher
// would search the system's fallbacks for it before the first text could be laid out.
inline QFont smallFont(qreal points = 6.75)
{
    static const bool hasVerdana = QFontDatabase::hasFamily(QStringLiteral("Verdana"));
    QFont font = hasVerdana ? QFont(QStringLiteral("Verdana")) : QFont();
    font.setPointSizeF(points);
    return font;
}

} // namespace Velmira::Twips
