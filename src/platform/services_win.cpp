#include "platform/win_services.h"

#include <shellapi.h>

#include <cstring>

namespace tonfex {

std::wstring toWide(const std::string& utf8) {
    if (utf8.empty()) return {};
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
    return wide;
}

std::string fromWide(const std::wstring& wide) {
    if (wide.empty()) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                nullptr, nullptr);
    std::string utf8(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), n,
                        nullptr, nullptr);
    return utf8;
}

std::string windowText(HWND hwnd) {
    int n = GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<size_t>(n) + 1, L'\0');
    GetWindowTextW(hwnd, text.data(), n + 1);
    text.resize(static_cast<size_t>(n));
    return fromWide(text);
}

std::vector<std::string> commandLineArguments() {
    std::vector<std::string> args;
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide) return args;
    for (int i = 1; i < count; ++i)
        args.push_back(fromWide(wide[i]));
    LocalFree(wide);
    return args;
}

void releaseOwnConsole() {
    DWORD processes[2];
    if (GetConsoleWindow() && GetConsoleProcessList(processes, 2) == 1) FreeConsole();
}

namespace {

// The message box's buttons get German captions once it is about to be shown. A box that
// offers "Ja, alle" is a Yes/No/Cancel box: Yes is "Ja", No "Ja, alle" and Cancel "Nein", so
// that "Nein" stands last and Escape or closing the box answers it.
thread_local HHOOK germanHook = nullptr;
thread_local bool offersAll = false;

LRESULT CALLBACK germanButtons(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
        HWND box = reinterpret_cast<HWND>(wParam);
        if (GetDlgItem(box, IDYES)) SetDlgItemTextW(box, IDYES, L"&Ja");
        if (GetDlgItem(box, IDNO)) SetDlgItemTextW(box, IDNO, offersAll ? L"Ja, &alle" : L"&Nein");
        if (GetDlgItem(box, IDCANCEL) && offersAll) SetDlgItemTextW(box, IDCANCEL, L"&Nein");
        if (GetDlgItem(box, IDOK)) SetDlgItemTextW(box, IDOK, L"OK");
        UnhookWindowsHookEx(germanHook);
        germanHook = nullptr;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

int germanMessageBox(HWND owner, const std::string& title, const std::string& text, UINT type,
                     bool all = false) {
    offersAll = all;
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

Answer WinDialogs::question(const std::string& title, const std::string& text, bool offerAll) {
    if (!offerAll) {
        int answer = germanMessageBox(
            owner, title, text, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2 | MB_SETFOREGROUND);
        return answer == IDYES ? Answer::Yes : Answer::No;
    }
    switch (germanMessageBox(owner, title, text,
                             MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON3 | MB_SETFOREGROUND,
                             true)) {
    case IDYES:
        return Answer::Yes;
    case IDNO: // captioned "Ja, alle"
        return Answer::YesToAll;
    default:
        return Answer::No;
    }
}

void WinDialogs::message(const std::string& title, const std::string& text) {
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

} // namespace tonfex
