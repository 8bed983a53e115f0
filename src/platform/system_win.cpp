// Windows side of the platform layer.
#include "platform/real.h"

#include "core/encoding.h"

#include <windows.h>

#include <algorithm>
#include <cctype>

namespace fs = std::filesystem;

namespace tonfex {

namespace {
std::wstring wide(const std::string& utf8) {
    if (utf8.empty()) return {};
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring w(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), w.data(), n);
    return w;
}

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

struct CloseSearch {
    std::string needle;
};

BOOL CALLBACK closeIfTitleMatches(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<CloseSearch*>(param);
    char title[256] = {};
    GetWindowTextA(window, title, 255);
    if (lower(title).find(search->needle) != std::string::npos)
        SendMessageA(window, WM_CLOSE, 0, 0);
    return TRUE;
}
} // namespace

char systemDecimalSeparator() {
    wchar_t buf[8] = {};
    if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, buf, 8) > 0 && buf[0] == L',')
        return ',';
    return '.';
}

fs::path defaultWorkFolder() { return fs::path("C:\\Arbeit\\"); }

fs::path programFolder() {
    wchar_t buf[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, buf, MAX_PATH);
    return fs::path(buf).parent_path();
}

std::string replaceFile(const fs::path& source, const fs::path& target) {
    if (MoveFileExW(source.c_str(), target.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return "";
    return "kann nicht ersetzt werden (Fehler " + std::to_string(GetLastError()) + ")";
}

bool SystemProgramStarter::start(const CommandLine& command, bool minimized) {
    std::wstring line = wide(command.line);
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
    CloseSearch search{lower(cp1252FromUtf8(text))};
    EnumWindows(closeIfTitleMatches, reinterpret_cast<LPARAM>(&search));
}

} // namespace tonfex

#include <io.h>

namespace tonfex {
bool stdinIsTerminal() { return _isatty(_fileno(stdin)) != 0; }
bool stdoutIsTerminal() { return _isatty(_fileno(stdout)) != 0; }
void prepareConsole() { SetConsoleOutputCP(CP_UTF8); }
} // namespace tonfex
