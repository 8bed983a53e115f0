// Win32 implementations of the platform interfaces the window needs: message boxes, clipboard
// and the message pump inside a command's waits.
#pragma once

#include "platform/platform.h"
#include "ui/events.h"

#include <windows.h>

#include <functional>

namespace tonfex {

// MessageBoxW with German buttons ("Ja"/"Nein", askAll "Ja"/"Ja, alle"/"Nein", "OK") whatever
// the system's language; a question has "Nein" as its default button.
class WinDialogs : public Dialogs {
public:
    bool ask(const std::string& title, const std::string& text) override;
    Answer askAll(const std::string& title, const std::string& text) override;
    void tell(const std::string& title, const std::string& text) override;

    HWND owner = nullptr;
    // Runs before a box opens, so that the window behind it shows the latest state.
    std::function<void()> beforeDialog;
};

// The Windows clipboard, as Unicode text; `owner` is the window that holds it.
class WinClipboard : public Clipboard {
public:
    void clear() override;
    void setText(const std::string& text) override;

    HWND owner = nullptr;
};

// Lets the window breathe inside a command's waits: the models are drawn, then the pending
// Windows messages are dispatched (Stop, the live controls). An end asked for meanwhile (the
// window closed, a nested command ended the program) unwinds the command with ProgramEnd.
class WinEvents : public ui::WindowEvents {
protected:
    void handlePending() override;
};

} // namespace tonfex
