#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <optional>

namespace Velmira::Cp1252 {

// Windows-1252 (the Western European 8-bit code page), with a table of its own so that every
// byte has a character: the five bytes the code page leaves undefined (0x81, 0x8D, 0x8F, 0x90,
// 0x9D) decode to the C1 control characters of the same number. A decode followed by an encode
// therefore gives back every byte unchanged.

// One character per byte.
QString decode(QByteArrayView bytes);

// One byte per character, or nullopt when some character has no byte in the code page.
std::optional<QByteArray> encode(QStringView text);

} // namespace Velmira::Cp1252
