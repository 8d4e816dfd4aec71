#pragma once

#include <QColor>

#include <cstdint>
#include <optional>
#include <string_view>

// The toolkit's 32-bit colour: red in bits 0-7, green 8-15, blue 16-23,
// opacity 24-31 (0 fully transparent). In memory: red, green, blue, alpha.
using SColorRef = uint32_t;

constexpr SColorRef makeColor(uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255)
{
    return static_cast<SColorRef>(r) | (static_cast<SColorRef>(g) << 8) | (static_cast<SColorRef>(b) << 16) |
           (static_cast<SColorRef>(a) << 24);
}
constexpr uint8_t colorRed(SColorRef c) { return static_cast<uint8_t>(c & 0xFF); }
constexpr uint8_t colorGreen(SColorRef c) { return static_cast<uint8_t>((c >> 8) & 0xFF); }
constexpr uint8_t colorBlue(SColorRef c) { return static_cast<uint8_t>((c >> 16) & 0xFF); }
constexpr uint8_t colorAlpha(SColorRef c) { return static_cast<uint8_t>((c >> 24) & 0xFF); }

inline QColor toQColor(SColorRef c) { return QColor(colorRed(c), colorGreen(c), colorBlue(c), colorAlpha(c)); }
inline SColorRef fromQColor(const QColor& c)
{
    return makeColor(static_cast<uint8_t>(c.red()), static_cast<uint8_t>(c.green()), static_cast<uint8_t>(c.blue()),
                     static_cast<uint8_t>(c.alpha()));
}

// Reads "#rgb", "#rrggbb", "#rrggbbaa" or "rgba(r,g,b,a)"/"rgb(r,g,b)";
// none for anything else. Named colours ("@color/name") are resolved by the
// UI definitions before this is called.
std::optional<QColor> parseColorText(std::wstring_view text);
