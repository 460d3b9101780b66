#pragma once

#include "platform/DesktopServices.h"

#include <cstdint>
#include <string>
#include <sys/types.h>
#include <vector>

namespace platform {

struct ClipboardOffer;

// The desktop services of a Linux desktop: programs are started with posix_spawn (never through
// a shell), addresses and documents go to GIO's default handler, text goes on the GTK clipboard
// and keys are pressed with the XTest extension of X11. Clipboard and keys need the GTK display
// that the program's windows use; without one (no display, or not X11) they log and return
// false. Use on the UI thread only, like GTK itself.
class LinuxDesktopServices : public DesktopServices {
public:
    /// clipboardGraceMs is how long ClearClipboard leaves the text for the pasting program.
    explicit LinuxDesktopServices(unsigned clipboardGraceMs = kClipboardGraceMs)
        : m_clipboardGraceMs(clipboardGraceMs) {}
    ~LinuxDesktopServices() override;
    LinuxDesktopServices(const LinuxDesktopServices&) = delete;
    LinuxDesktopServices& operator=(const LinuxDesktopServices&) = delete;

    /// Starts an executable file directly; a file that is not executable (a document) is opened
    /// with its default application instead, as the file manager would.
    bool StartProgram(std::u16string_view path) override;
    bool OpenAddress(std::u16string_view uri) override;
    bool SetClipboardText(std::u16string_view text) override;
    /// The clipboard is emptied after a short grace period on the GTK main loop rather than at
    /// once: on X11 the program that pastes fetches the text from us through our event loop,
    /// which runs only after the caller returns.
    bool ClearClipboard() override;
    bool SendKey(int virtualKey, KeyAction action) override;

    /// How long ClearClipboard leaves the text by default: long enough for a slow program to
    /// fetch it, short enough that the text does not linger.
    static constexpr unsigned kClipboardGraceMs = 2000;

private:
    static int OnClearTimeout(void* self);

    // Reaps the programs started here that have ended, so none lingers as a zombie.
    void ReapFinishedPrograms();

    unsigned m_clipboardGraceMs;
    std::vector<pid_t> m_children;
    ClipboardOffer* m_offer = nullptr; // our current clipboard content, freed when GTK drops it
    unsigned m_clearSource = 0;        // the pending deferred clear, 0 if none
};

} // namespace platform
