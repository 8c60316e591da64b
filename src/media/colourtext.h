#pragma once

#include <QColor>
#include <QString>
#include <optional>

namespace velmora {

// Colour values travel on the wire and in the settings file as 0x00BBGGRR. Values with the
// top bit set (0x80000000 + index) name a system colour; clNone is 0x1FFFFFFF.
namespace colours {
inline constexpr quint32 clBlack = 0x000000;
inline constexpr quint32 clMaroon = 0x000080;
inline constexpr quint32 clGreen = 0x008000;
inline constexpr quint32 clOlive = 0x008080;
inline constexpr quint32 clNavy = 0x800000;
inline constexpr quint32 clPurple = 0x800080;
inline constexpr quint32 clTeal = 0x808000;
inline constexpr quint32 clGray = 0x808080;
inline constexpr quint32 clSilver = 0xC0C0C0;
inline constexpr quint32 clRed = 0x0000FF;
inline constexpr quint32 clLime = 0x00FF00;
inline constexpr quint32 clYellow = 0x00FFFF;
inline constexpr quint32 clBlue = 0xFF0000;
inline constexpr quint32 clFuchsia = 0xFF00FF;
inline constexpr quint32 clAqua = 0xFFFF00;
inline constexpr quint32 clWhite = 0xFFFFFF;
inline constexpr quint32 systemColour = 0x80000000;
inline constexpr quint32 clWindowText = systemColour + 8;
inline constexpr quint32 clHighlight = systemColour + 13;
inline constexpr quint32 clHighlightText = systemColour + 14;
inline constexpr quint32 clNone = 0x1FFFFFFF;
} // namespace colours

// The colour's name when it has one, else "$" and 8 upper-case hex digits.
QString colourToText(quint32 colour);

// A name (any letter case), "$" and hex digits, or a decimal number; nullopt otherwise.
std::optional<quint32> colourFromText(const QString& text);

// The colour to draw with. System colours resolve to colours that read well on the black chat.
QColor toQColor(quint32 colour);

} // namespace velmora
