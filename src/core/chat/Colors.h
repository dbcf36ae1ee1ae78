#pragma once
// The transcript's palette.

#include <QtGlobal>

// A 24-bit colour as 0xRRGGBB; the same type as the toolkit's QRgb.
using Rgb = quint32;

namespace Colors {
constexpr Rgb Red = 0xFF0000;
constexpr Rgb Green = 0x00FF00;
constexpr Rgb Yellow = 0xFFFF00;
constexpr Rgb White = 0xFFFFFF;
constexpr Rgb Cyan = 0x00FFFF;
constexpr Rgb LogonBlue = 0x00AAC8;   // logon line and the own name in echoes
constexpr Rgb Grey = 0x808080;        // the desktop's grey text
constexpr Rgb HexGreen = 0x00C864;    // hex translations
constexpr Rgb Teal = 0x008080;        // the roster's text (RosterModel), buttons
constexpr Rgb Announcement = 0xFFA500; // server-wide announcements (orange)
} // namespace Colors
