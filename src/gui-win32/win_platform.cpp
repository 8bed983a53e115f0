#include "gui-win32/win_platform.h"

#include "core/errors.h"
#include "gui-win32/win_text.h"

#include <cstring>

namespace tonfex {

namespace {

// The message box's buttons get German captions once it is about to be shown.
thread_local HHOOK germanHook = nullptr;

LRESULT CALLBACK germanButtons(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
        HWND box = reinterpret_cast<HWND>(wParam);
        if (GetDlgItem(box, IDYES)) SetDlgItemTextW(box, IDYES, L"&Ja");
        if (GetDlgItem(box, IDNO)) SetDlgItemTextW(box, IDNO, L"&Nein");
        if (GetDlgItem(box, IDOK)) SetDlgItemTextW(box, IDOK, L"OK");
        UnhookWindowsHookEx(germanHook);
        germanHook = nullptr;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

int germanMessageBox(HWND owner, const std::string& title, const std::string& text, UINT type) {
    germanHook = SetWindowsHookExW(WH_CBT, germanButtons, nullptr, GetCurrentThreadId());
    int answer = MessageBoxW(owner, toWide(text).c_str(), toWide(title).c_str(), type);
    if (germanHook) {
        UnhookWindowsHookEx(germanHook);
        germanHook = nullptr;
    }
    return answer;
}

// Another program may hold the clipboard for a moment.
bool openClipboard(HWND owner) {
    for (int attempt = 0; attempt < 10; ++attempt) {
        if (OpenClipboard(owner)) return true;
        Sleep(20);
    }
    return false;
}

} // namespace

bool WinDialogs::ask(const std::string& title, const std::string& text) {
    if (beforeDialog) beforeDialog();
    return germanMessageBox(owner, title, text,
                            MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2 | MB_SETFOREGROUND) == IDYES;
}

void WinDialogs::tell(const std::string& title, const std::string& text) {
    if (beforeDialog) beforeDialog();
    germanMessageBox(owner, title, text, MB_OK | MB_ICONINFORMATION | MB_SETFOREGROUND);
}

void WinClipboard::clear() {
    if (!openClipboard(owner)) return;
    EmptyClipboard();
    CloseClipboard();
}

void WinClipboard::setText(const std::string& text) {
    std::wstring wide = toWide(text);
    size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!memory) return;
    if (void* target = GlobalLock(memory)) {
        std::memcpy(target, wide.c_str(), bytes);
        GlobalUnlock(memory);
    }
    if (!openClipboard(owner)) {
        GlobalFree(memory);
        return;
    }
    EmptyClipboard();
    // The clipboard owns the memory once it accepted it.
    if (!SetClipboardData(CF_UNICODETEXT, memory)) GlobalFree(memory);
    CloseClipboard();
}

void WinEvents::process() {
    if (beforeProcess) beforeProcess();
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // The outer loop must see the quit too; the running command ends first.
            PostQuitMessage(static_cast<int>(msg.wParam));
            endRequested = true;
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (endRequested) throw ProgramEnd();
}

} // namespace tonfex
