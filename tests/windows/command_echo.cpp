// Stands in for the editor, REAPER, Capella and the image viewer in the Windows tests: writes
// the command line it was started with and the window state it was asked for into
// "Aufruf.txt" beside itself, then ends. Also plays a viewer that has stopped answering.
#include <windows.h>

#include <shellapi.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {
std::string utf8(const std::wstring& text) {
    int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                        nullptr, nullptr);
    return out;
}
} // namespace

int main() {
    // With "--ohne-antwort TITEL": a window of that title whose program never answers.
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argc == 3 && std::wstring(argv[1]) == L"--ohne-antwort") {
        CreateWindowExW(0, L"STATIC", argv[2], WS_OVERLAPPEDWINDOW, 10, 10, 200, 100, nullptr,
                        nullptr, GetModuleHandleW(nullptr), nullptr);
        Sleep(INFINITE);
    }
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring folder(self);
    folder.resize(folder.find_last_of(L'\\') + 1);
    STARTUPINFOW startup{};
    GetStartupInfoW(&startup);
    int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;
    // Written under another name first, so that the test never reads half a record.
    const std::wstring temp = folder + L"Aufruf.neu", record = folder + L"Aufruf.txt";
    {
        std::ofstream out(std::filesystem::path(temp), std::ios::binary | std::ios::trunc);
        out << utf8(GetCommandLineW()) << '\n' << show << '\n';
        if (!out.flush()) return 1;
    }
    return MoveFileExW(temp.c_str(), record.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
