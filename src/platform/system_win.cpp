// Windows side of the platform layer.
#include "platform/real.h"
#include "platform/win_services.h"

#include <windows.h>

#include <algorithm>

namespace fs = std::filesystem;

namespace tonfex {

namespace {
// Lower case by the system's rules, so that "Ü" matches "ü" as well as "A" matches "a".
std::wstring lower(std::wstring s) {
    if (!s.empty()) CharLowerBuffW(s.data(), static_cast<DWORD>(s.size()));
    return s;
}

struct CloseSearch {
    std::wstring needle;
};

BOOL CALLBACK closeIfTitleMatches(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<CloseSearch*>(param);
    wchar_t title[256] = {};
    int length = GetWindowTextW(window, title, 256); // at most 255 characters
    if (lower(std::wstring(title, static_cast<size_t>(std::max(length, 0)))).find(search->needle) !=
        std::wstring::npos)
        // A window that does not answer must not hang the program: wait for it 2 s at most.
        SendMessageTimeoutW(window, WM_CLOSE, 0, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG, 2000, nullptr);
    return TRUE;
}
} // namespace

char systemDecimalSeparator() {
    wchar_t buf[8] = {};
    if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, buf, 8) > 0 && buf[0] == L',')
        return ',';
    return '.';
}

fs::path defaultWorkFolder() {
    return fs::path("C:\\Arbeit\\");
}

fs::path programFolder() {
    wchar_t buf[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, buf, MAX_PATH);
    return fs::path(buf).parent_path();
}

std::string replaceFile(const fs::path& source, const fs::path& target) {
    if (MoveFileExW(source.c_str(), target.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return "";
    DWORD error = GetLastError();
    // Windows keeps a file that another program holds open or that is write-protected.
    if (error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION)
        return "kann nicht ersetzt werden (schreibgeschützt oder in einem anderen Programm "
               "geöffnet)";
    return "kann nicht ersetzt werden (Fehler " + std::to_string(error) + ")";
}

bool SystemProgramStarter::start(const CommandLine& command, bool minimized) {
    // A program or file path with blanks stays one argument.
    std::wstring line = toWide(quotedCommandLine(command));
    if (line.empty()) return false;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = static_cast<WORD>(minimized ? SW_SHOWMINIMIZED : SW_SHOWNORMAL);
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi))
        return false;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return true;
}

void SystemWindowCloser::closeContaining(const std::string& text) {
    CloseSearch search{lower(toWide(text))};
    EnumWindows(closeIfTitleMatches, reinterpret_cast<LPARAM>(&search));
}

} // namespace tonfex

#include <io.h>

namespace tonfex {
bool stdinIsTerminal() {
    return _isatty(_fileno(stdin)) != 0;
}
bool stdoutIsTerminal() {
    return _isatty(_fileno(stdout)) != 0;
}
void prepareConsole() {
    SetConsoleOutputCP(CP_UTF8);
}

namespace {
volatile LONG interrupted = 0;
HANDLE handled = nullptr; // set once the command has ended after a request

BOOL WINAPI onConsoleEvent(DWORD event) {
    if (InterlockedExchange(&interrupted, 1) != 0 && event == CTRL_C_EVENT) return FALSE;
    // After a close, logoff or shutdown the system ends the process when this returns: wait
    // for the play to end its notes first (Windows allows about five seconds).
    if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT)
        if (handled) WaitForSingleObject(handled, 4000);
    return TRUE;
}
} // namespace

bool namesStandardOutput(const fs::path& path) {
    // CONOUT$ and CON are the console the text goes to as well.
    const std::wstring name = lower(path.wstring());
    return name == L"con" || name == L"conout$";
}

void watchInterrupts() {
    if (!handled) handled = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

bool interruptRequested() {
    return InterlockedCompareExchange(&interrupted, 0, 0) != 0;
}

void interruptHandled() {
    if (handled) SetEvent(handled);
}
bool windowDisplayAvailable() {
    return true;
}
} // namespace tonfex
