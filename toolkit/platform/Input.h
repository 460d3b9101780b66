#pragma once

#include "toolkit/platform/KeyMap.h"
#include "toolkit/platform/Win32Types.h"

#include <string>

namespace tessel {

struct WindowObject;

/// What a backend reports of the pointer over one of its top-level windows.
enum class MouseAction { Move, LeftDown, LeftUp, RightDown, RightUp, MiddleDown, MiddleUp, Wheel, Leave };

// The entry points through which both backends hand native input to the shared layer, which turns
// it into window messages: routing to children, capture, hit testing, double clicks, hover and
// leave tracking, key message parameters and keyboard focus. Called on the UI thread.

/// A pointer event at a point in the top-level window's client coordinates.
void DeliverMouse(WindowObject& topLevel, MouseAction action, POINT client, int wheelDelta = 0);
/// A key pressed or released while the top-level window had the keyboard; character is what the
/// key types under the current layout and modifiers (0 for none).
void DeliverKey(WindowObject& topLevel, bool down, const KeyInfo& key, char32_t character);
/// Text composed by the input method, handed to the focus window as WM_CHAR messages.
void DeliverText(WindowObject& topLevel, const std::u16string& text);
/// Text the input method is composing (not yet typed), handed to the focus window as
/// WM_IME_COMPOSITION with lParam pointing at the std::u16string; empty when composing ends.
void DeliverComposition(WindowObject& topLevel, const std::u16string& text);
/// The window manager activated or deactivated a top-level window.
void DeliverActivation(WindowObject& topLevel, bool active);
/// The window manager moved or resized a top-level window (screen rectangle).
void DeliverGeometry(WindowObject& topLevel, const RECT& rect);
/// The user asked the window manager to close a top-level window.
void DeliverClose(WindowObject& topLevel);

} // namespace tessel
