#pragma once
// The transcript's palette.

#include <QRgb>

namespace Colors {
constexpr QRgb Red = 0xFF0000;
constexpr QRgb Green = 0x00FF00;
constexpr QRgb Yellow = 0xFFFF00;
constexpr QRgb White = 0xFFFFFF;
constexpr QRgb Cyan = 0x00FFFF;
constexpr QRgb LogonBlue = 0x00AAC8;   // logon line and the own name in echoes
constexpr QRgb Grey = 0x808080;        // the desktop's grey text
constexpr QRgb HexGreen = 0x00C864;    // hex translations
constexpr QRgb Teal = 0x008080;        // roster default text, buttons
} // namespace Colors
