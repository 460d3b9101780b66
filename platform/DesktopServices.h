#pragma once

#include <string_view>

// What the program asks of the desktop when a key's computer-side function runs: start a
// program, open an address, place text on the clipboard and press keys in the foreground
// program. The real implementation is LinuxDesktopServices; tests record the calls instead.
namespace platform {

enum class KeyAction { Press, Release };

class DesktopServices {
public:
    virtual ~DesktopServices() = default;

    /// Starts the program file at the absolute path directly, without a shell and without
    /// arguments. False when it could not be started.
    virtual bool StartProgram(std::u16string_view path) = 0;

    /// Hands the address (an http or https URI) to the desktop's handler for it, without waiting
    /// for the handler to start. False when the address could not be handed over.
    virtual bool OpenAddress(std::u16string_view uri) = 0;

    /// Puts the text on the clipboard; false when the clipboard cannot be used.
    virtual bool SetClipboardText(std::u16string_view text) = 0;

    /// Empties the clipboard, if it still holds what SetClipboardText placed there.
    virtual bool ClearClipboard() = 0;

    /// Presses or releases a key, given as a Windows virtual key, in the foreground program.
    virtual bool SendKey(int virtualKey, KeyAction action) = 0;
};

} // namespace platform
