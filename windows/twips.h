#pragma once

#include <QFont>

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

// The design's text font: Verdana 6.75 pt, or the closest the system has.
inline QFont smallFont()
{
    QFont font(QStringLiteral("Verdana"));
    font.setPointSizeF(6.75);
    return font;
}

} // namespace Velmira::Twips
