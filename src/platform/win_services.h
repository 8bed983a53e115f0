// The Windows services of a window front end that draw no window: text between UTF-8 and
// UTF-16, the program's arguments, its console, message boxes with German buttons, the
// clipboard. Windows builds only.
#pragma once

#include "platform/platform.h"

#include <windows.h>

#include <string>
#include <vector>

namespace tonfex {

std::wstring toWide(const std::string& utf8);
std::string fromWide(const std::wstring& wide);
// The title or text of a window or control.
std::string windowText(HWND hwnd);

// The arguments as UTF-8, also where they hold characters outside the ANSI code page.
std::vector<std::string> commandLineArguments();
// Lets go of a console that only this program uses: a double-click made it for the window.
void releaseOwnConsole();

// MessageBoxW with German buttons ("Ja"/"Nein", askAll "Ja"/"Ja, alle"/"Nein", "OK") whatever
// the system's language; a question has "Nein" as its default button.
class WinDialogs : public BoxDialogs {
public:
    HWND owner = nullptr;

protected:
    Answer question(const std::string& title, const std::string& text, bool offerAll) override;
    void message(const std::string& title, const std::string& text) override;
};

// The Windows clipboard, as Unicode text; `owner` is the window that holds it.
class WinClipboard : public Clipboard {
public:
    void clear() override;
    void setText(const std::string& text) override;

    HWND owner = nullptr;
};

} // namespace tonfex
