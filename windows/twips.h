#pragma once

#include <QFont>
#include <QFontDatabase>

#include <cmath>

// Lengths of the windows' design are in twips: 1/1440 inch, 15 to a pixel at 96 dots per inch.
namespace Velmira::Twips {

inline constexpr double PerPixel = 15.0;

// Whole pixels for a length in twips; halves go to the even neighbour.
inline int toPixels(double twips)
{
    return int(std::nearbyint(twips / PerPixel));
}

inline double fromPixels(int pixels)
{
    return pixels * PerPixel;
}

// The design's text font: Verdana 6.75 pt, or the system's own sans-serif font at that size.
// A family the system lacks is not asked for by name: the font matcher would search the
// system's fallbacks for it before the first text could be laid out.
inline QFont smallFont()
{
    static const bool hasVerdana = QFontDatabase::hasFamily(QStringLiteral("Verdana"));
    QFont font = hasVerdana ? QFont(QStringLiteral("Verdana")) : QFont();
    font.setPointSizeF(6.75);
    return font;
}

} // namespace Velmira::Twips
