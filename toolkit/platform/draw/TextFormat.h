#pragma once

#include <cstdint>

// Text layout flags for Graphics::DrawText and MeasureText, with the values of the classic
// text-drawing flags so that stored formats and alignment numbers keep their meaning.
namespace tessel {

inline constexpr uint32_t DT_TOP = 0x0;
inline constexpr uint32_t DT_LEFT = 0x0;
inline constexpr uint32_t DT_CENTER = 0x1;
inline constexpr uint32_t DT_RIGHT = 0x2;
inline constexpr uint32_t DT_VCENTER = 0x4;
inline constexpr uint32_t DT_BOTTOM = 0x8;
/// Breaks lines between words to fit the rectangle's width (a word wider than the rectangle is
/// broken between characters).
inline constexpr uint32_t DT_WORDBREAK = 0x10;
/// One line: line breaks in the text are shown as spaces.
inline constexpr uint32_t DT_SINGLELINE = 0x20;
/// Draws outside the rectangle too (by default the text is clipped to it).
inline constexpr uint32_t DT_NOCLIP = 0x100;
/// With DrawText: measure only, draw nothing.
inline constexpr uint32_t DT_CALCRECT = 0x400;
/// Accepted for compatibility; ampersands are always drawn as they are.
inline constexpr uint32_t DT_NOPREFIX = 0x800;
/// Ends a line that does not fit with "…".
inline constexpr uint32_t DT_END_ELLIPSIS = 0x8000;
/// Cuts a line that does not fit after its last whole word that fits, and adds "…".
inline constexpr uint32_t DT_WORD_ELLIPSIS = 0x40000;

} // namespace tessel
