#pragma once

// The widths RFC_READ_TABLE's interface fixes: an OPTIONS line (TEXT) holds 72 characters and
// a DATA line (WA) 512. Every layer that builds option lines or cuts rows takes them from here.
// The wider read modules return lines of up to 30,000 characters.
namespace ReadTableWidths
{
inline constexpr int kOptionLine = 72;
inline constexpr int kDataLine = 512;
inline constexpr int kWidestLine = 30000;
} // namespace ReadTableWidths
