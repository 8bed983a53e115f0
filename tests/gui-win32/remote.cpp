// Drives the Win32 window of tonfex.exe from outside, as a composer's mouse would: finds the
// window by its class and caption, clicks buttons (BM_CLICK), reads list boxes (LB_GETTEXT),
// answers message boxes and reads the clipboard. Every command prints what it read as UTF-8.
//   remote wait-window TITLE SECONDS [CLASS]   remote visible CLASS|CAPTION
//   remote click CAPTION                       remote wait-enabled CAPTION SECONDS
//   remote list NAME                           remote wait-line NAME TEXT SECONDS
//   remote select NAME ROW                     remote answer TITLE BUTTON SECONDS
//   remote clipboard                           remote move NAME X Y|mitte
//   remote scroll NAME hoch|runter             remote wait-text TEXT SECONDS
//   remote ohne-antwort TITLE
// The last makes a window of that title that never answers. Copied under another name (as
// NoteTab.exe, reaper.exe, ...) the program stands in for the program the window starts.
#include <windows.h>

#include <shellapi.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

std::wstring wide(const std::string& utf8) {
    std::wstring w(utf8.size(), L'\0');
    w.resize(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8.data(),
                                                     static_cast<int>(utf8.size()), w.data(),
                                                     static_cast<int>(w.size()))));
    return w;
}

std::string utf8(const std::wstring& w) {
    int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0,
                                nullptr, nullptr);
    std::string s(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr,
                        nullptr);
    return s;
}

std::wstring textOf(HWND hwnd) {
    wchar_t buffer[1024] = {};
    GetWindowTextW(hwnd, buffer, 1024);
    return buffer;
}

std::wstring classOf(HWND hwnd) {
    wchar_t buffer[256] = {};
    GetClassNameW(hwnd, buffer, 256);
    return buffer;
}

bool isClass(HWND hwnd, const wchar_t* cls) {
    return _wcsicmp(classOf(hwnd).c_str(), cls) == 0;
}

HWND mainWindow() {
    return FindWindowW(L"TonfexMain", nullptr);
}

// Every child window of `parent` for which `f` holds.
template <class F> std::vector<HWND> children(HWND parent, F f) {
    std::pair<std::vector<HWND>, F*> found{{}, &f};
    EnumChildWindows(
        parent,
        [](HWND hwnd, LPARAM param) -> BOOL {
            auto* p = reinterpret_cast<decltype(found)*>(param);
            if ((*p->second)(hwnd)) p->first.push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found.first;
}

// A control of the main window or of the chooser, of a class with a window text.
HWND findChild(const wchar_t* cls, const std::string& text) {
    for (const wchar_t* top : {L"TonfexMain", L"TonfexLinien"})
        if (HWND parent = FindWindowW(top, nullptr)) {
            auto found = children(
                parent, [&](HWND h) { return isClass(h, cls) && textOf(h) == wide(text); });
            if (!found.empty()) return found[0];
        }
    return nullptr;
}

void print(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
}

int fail(const std::string& why) {
    std::fprintf(stderr, "remote: %s\n", why.c_str());
    return 1;
}

// Repeats `test` until it holds or the time is up.
template <class Test> bool waitFor(double seconds, Test test) {
    auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!test()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

template <class Test> int waited(const std::string& why, double seconds, Test test) {
    return waitFor(seconds, test) ? 0 : fail(why);
}

std::vector<std::wstring> listLines(HWND list) {
    std::vector<std::wstring> lines;
    for (LRESULT i = 0, count = SendMessageW(list, LB_GETCOUNT, 0, 0); i < count; ++i) {
        auto length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
        std::wstring line(static_cast<size_t>(std::max<LRESULT>(length, 0)) + 1, L'\0');
        SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(line.data()));
        line.resize(line.size() - 1);
        lines.push_back(line);
    }
    return lines;
}

// Prints the box's buttons, marking the default one, then presses BUTTON.
int answer(const std::string& title, const std::string& button, double seconds) {
    HWND box = nullptr;
    if (!waitFor(seconds, [&] { return (box = FindWindowW(L"#32770", wide(title).c_str())); }))
        return fail("kein Meldungsfenster " + title);
    std::this_thread::sleep_for(std::chrono::milliseconds(300)); // the captions are set
    LRESULT def = SendMessageW(box, DM_GETDEFID, 0, 0);
    HWND press = nullptr;
    for (HWND b : children(box, [](HWND h) { return isClass(h, L"Button"); })) {
        // The dialog names its default button (Windows), or draws it as the default push
        // button (Wine keeps IDOK as the dialog's default id).
        bool named = HIWORD(def) == DC_HASDEFID && LOWORD(def) == GetDlgCtrlID(b);
        bool drawn = (GetWindowLongW(b, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
        print("Knopf: " + utf8(textOf(b)) + (named || drawn ? " (vorgewählt)" : ""));
        if (textOf(b) == wide(button)) press = b;
    }
    if (!press) return fail("kein Knopf " + button + " im Meldungsfenster");
    PostMessageW(press, BM_CLICK, 0, 0);
    return 0;
}

// As a stand-in: writes the command line it was started with and the window state it was asked
// for into "Aufruf.txt" beside itself (under another name first, so that a test never reads
// half a record), and ends.
int standIn() {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring folder(self);
    folder.resize(folder.find_last_of(L'\\') + 1);
    STARTUPINFOW startup{};
    GetStartupInfoW(&startup);
    int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;
    std::ofstream(std::filesystem::path(folder + L"Aufruf.neu"), std::ios::binary)
        << utf8(GetCommandLineW()) << '\n'
        << show << '\n';
    return MoveFileExW((folder + L"Aufruf.neu").c_str(), (folder + L"Aufruf.txt").c_str(),
                       MOVEFILE_REPLACE_EXISTING)
               ? 0
               : 1;
}

} // namespace

int main() {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring name = self, me = L"win32_remote.exe";
    if (name.size() < me.size() || _wcsicmp(name.c_str() + name.size() - me.size(), me.c_str()))
        return standIn();
    // The arguments as UTF-8, umlauts included.
    std::vector<std::string> a;
    int count = 0;
    if (LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count)) {
        for (int i = 1; i < count; ++i)
            a.push_back(utf8(args[i]));
        LocalFree(args);
    }
    a.resize(std::max<size_t>(a.size(), 5));
    const std::string& verb = a[0];
    auto seconds = [&](size_t i) { return a[i].empty() ? 10.0 : std::stod(a[i]); };

    if (verb == "wait-window") {
        // The main window, or with a third argument the window of that class (TonfexLinien).
        std::wstring cls = a[3].empty() ? L"TonfexMain" : wide(a[3]);
        return waited("kein Fenster mit dem Titel " + a[1], seconds(2), [&] {
            HWND w = FindWindowW(cls.c_str(), nullptr);
            return w && IsWindowVisible(w) && textOf(w) == wide(a[1]);
        });
    }
    if (verb == "visible") {
        HWND w = FindWindowW(wide(a[1]).c_str(), nullptr);
        if (!w) w = findChild(L"Button", a[1]);
        print(w && IsWindowVisible(w) ? "sichtbar" : "unsichtbar");
        return 0;
    }
    if (verb == "move") {
        // The mouse over the bend area at X, Y of its client area.
        HWND target = findChild(L"TonfexBender", a[1]);
        if (!target) return fail("kein Feld " + a[1]);
        RECT r;
        GetClientRect(target, &r);
        int y = a[3] == "mitte" ? static_cast<int>(r.bottom / 2) : std::stoi(a[3]);
        PostMessageW(target, WM_MOUSEMOVE, 0, MAKELPARAM(std::stoi(a[2]), y));
        return 0;
    }
    if (verb == "scroll") {
        // A click on an arrow of the scroll bar: up or down one line.
        HWND bar = findChild(L"ScrollBar", a[1]);
        if (!bar) return fail("kein Rollbalken " + a[1]);
        PostMessageW(GetParent(bar), WM_VSCROLL, a[2] == "hoch" ? SB_LINEUP : SB_LINEDOWN,
                     reinterpret_cast<LPARAM>(bar));
        return 0;
    }
    if (verb == "wait-text") {
        // A text box shows exactly TEXT (WM_GETTEXT reaches into another program's controls).
        std::wstring seen;
        bool shown = waitFor(seconds(2), [&] {
            seen.clear();
            for (HWND edit : children(mainWindow(), [](HWND h) { return isClass(h, L"Edit"); })) {
                wchar_t buffer[256] = {};
                SendMessageW(edit, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(buffer));
                if (buffer == wide(a[1])) return true;
                seen += L"'" + std::wstring(buffer) + L"' ";
            }
            return false;
        });
        return shown ? 0 : fail("kein Textfeld zeigt " + a[1] + ", nur " + utf8(seen));
    }
    if (verb == "click") {
        HWND button = findChild(L"Button", a[1]);
        if (!button || !IsWindowEnabled(button) || !IsWindowVisible(button))
            return fail("Knopf " + a[1] + " fehlt oder ist nicht bedienbar");
        PostMessageW(button, BM_CLICK, 0, 0);
        return 0;
    }
    if (verb == "wait-enabled")
        return waited("Knopf " + a[1] + " wird nicht frei", seconds(2), [&] {
            HWND button = findChild(L"Button", a[1]);
            return button && IsWindowEnabled(button);
        });
    if (verb == "list") {
        HWND list = findChild(L"ListBox", a[1]);
        if (!list) return fail("keine Liste " + a[1]);
        for (const auto& line : listLines(list))
            print(utf8(line));
        return 0;
    }
    if (verb == "wait-line")
        return waited("keine Zeile mit " + a[2] + " in " + a[1], seconds(3), [&] {
            HWND list = findChild(L"ListBox", a[1]);
            for (const auto& line : list ? listLines(list) : std::vector<std::wstring>{})
                if (line.find(wide(a[2])) != std::wstring::npos) return true;
            return false;
        });
    if (verb == "select") {
        // A click on a line: the selection moves, the window hears LBN_SELCHANGE.
        HWND list = findChild(L"ListBox", a[1]);
        if (!list) return fail("keine Liste " + a[1]);
        SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(std::stoi(a[2])), 0);
        PostMessageW(GetParent(list), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(list));
        return 0;
    }
    if (verb == "answer") return answer(a[1], a[2], seconds(3));
    if (verb == "clipboard") {
        if (!OpenClipboard(nullptr)) return fail("Zwischenablage nicht lesbar");
        HANDLE data = GetClipboardData(CF_UNICODETEXT);
        if (auto* text = data ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr) {
            print(utf8(text));
            GlobalUnlock(data);
        }
        CloseClipboard();
        return data ? 0 : fail("kein Text in der Zwischenablage");
    }
    if (verb == "close") {
        // Closes the main window as its close box does and waits until it is gone.
        HWND w = FindWindowW(L"TonfexMain", nullptr);
        if (!w) return fail("kein Tonfex-Fenster");
        PostMessageW(w, WM_CLOSE, 0, 0);
        return waited("das Tonfex-Fenster schließt sich nicht", seconds(1),
                      [] { return FindWindowW(L"TonfexMain", nullptr) == nullptr; });
    }
    if (verb == "ohne-antwort") {
        CreateWindowExW(0, L"STATIC", wide(a[1]).c_str(), WS_OVERLAPPEDWINDOW, 10, 10, 200, 100,
                        nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        Sleep(INFINITE);
    }
    return fail("unbekannter Befehl " + verb);
}
