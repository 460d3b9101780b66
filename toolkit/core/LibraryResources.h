#pragma once

#include <span>

// The pictures compiled into the library, private to it. Fonts are not here: the toolkit's two
// faces are files in its fonts folder (see FontRegistry).
namespace tessel::detail {

/// Resource ids of the library: the two scroll bar strips (type "PNG") and the two faces ("TTF").
inline constexpr int kResScrollHorizontal = 101;
inline constexpr int kResScrollVertical = 102;
inline constexpr int kResFontOpenSans = 106;
inline constexpr int kResFontDefaultFace = 107;

/// The PNG bytes of a picture resource of the library; empty for an unknown id. The bytes are
/// static and live for the process.
std::span<const unsigned char> LibraryResource(int id);

} // namespace tessel::detail
