// Drives the Win32 window of tonfex.exe from outside, as a composer's mouse would: finds the
// window by its class and caption, clicks buttons (BM_CLICK), reads list boxes (LB_GETTEXT),
// answers message boxes and reads the clipboard. Every command prints what it read as UTF-8.
//   remote wait-window TITLE SECONDS [CLASS]   remote visible CLASS
//   remote click CAPTION
//   remote wait-enabled CAPTION SECONDS   remote list NAME
//   remote wait-line NAME TEXT SECONDS    remote select NAME ROW
//   remote answer TITLE BUTTON SECONDS    remote clipboard
//   remote move NAME X Y|mitte           remote scroll NAME hoch|runter
//   remote wait-text TEXT SECONDS        remote layout [-v]
//   remote close
// Copied as NoteTab.exe it is the editor the window starts (see standInEditor).
#include <windows.h>

#include <shellapi.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

namespace {

std::wstring wide(const std::string& utf8) {
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
    std::wstring w(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, w.data(), n);
    w.resize(static_cast<size_t>(n > 0 ? n - 1 : 0));
    return w;
}

std::string utf8(const std::wstring& w) {
    int n = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, s.data(), n, nullptr, nullptr);
    s.resize(static_cast<size_t>(n > 0 ? n - 1 : 0));
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

HWND mainWindow() {
    return FindWindowW(L"TonfexMain", nullptr);
}

// A child of the main window (or of the chooser) of a class with a window text.
struct ChildSearch {
    std::wstring cls, text;
    HWND found = nullptr;
};

BOOL CALLBACK matchChild(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<ChildSearch*>(param);
    if (_wcsicmp(classOf(hwnd).c_str(), search->cls.c_str()) == 0 && textOf(hwnd) == search->text) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND findChild(const wchar_t* cls, const std::string& text) {
    ChildSearch search{cls, wide(text), nullptr};
    for (const wchar_t* top : {L"TonfexMain", L"TonfexLinien"})
        if (HWND parent = FindWindowW(top, nullptr)) {
            EnumChildWindows(parent, matchChild, reinterpret_cast<LPARAM>(&search));
            if (search.found) return search.found;
        }
    return nullptr;
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

std::vector<std::wstring> listLines(HWND list) {
    std::vector<std::wstring> lines;
    LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
        std::wstring line(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
        SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(line.data()));
        line.resize(static_cast<size_t>(length > 0 ? length : 0));
        lines.push_back(line);
    }
    return lines;
}

void print(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
}

int fail(const std::string& why) {
    std::fprintf(stderr, "remote: %s\n", why.c_str());
    return 1;
}

struct Placed {
    std::string name;
    RECT rect;
    bool group;
};

BOOL CALLBACK collectPlaced(HWND hwnd, LPARAM param) {
    if (!IsWindowVisible(hwnd) || GetParent(hwnd) != mainWindow()) return TRUE;
    RECT r;
    GetWindowRect(hwnd, &r);
    MapWindowPoints(nullptr, mainWindow(), reinterpret_cast<POINT*>(&r), 2);
    bool group = _wcsicmp(classOf(hwnd).c_str(), L"Button") == 0 &&
                 (GetWindowLongW(hwnd, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
    std::string name = utf8(classOf(hwnd)) + " '" + utf8(textOf(hwnd)) + "'";
    reinterpret_cast<std::vector<Placed>*>(param)->push_back({name, r, group});
    return TRUE;
}

bool contains(const RECT& outer, const RECT& inner) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

struct DialogButtons {
    std::vector<HWND> buttons;
};

BOOL CALLBACK collectButtons(HWND hwnd, LPARAM param) {
    if (_wcsicmp(classOf(hwnd).c_str(), L"Button") == 0)
        reinterpret_cast<DialogButtons*>(param)->buttons.push_back(hwnd);
    return TRUE;
}

} // namespace

// Copied as C:\Arbeit\Editor-K\NoteTab.exe the program stands in for the editor: it notes
// the command line it was started with and how its window is to be shown, and ends.
bool standInEditor() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring name = path;
    if (name.size() < 11 || _wcsicmp(name.c_str() + name.size() - 11, L"NoteTab.exe") != 0)
        return false;
    STARTUPINFOW info{};
    GetStartupInfoW(&info);
    std::string line =
        utf8(GetCommandLineW()) + " | Fenster " +
        std::to_string((info.dwFlags & STARTF_USESHOWWINDOW) ? info.wShowWindow : -1) + "\n";
    if (FILE* f = _wfopen(L"C:\\Arbeit\\Editor-K\\aufrufe.txt", L"ab")) {
        std::fwrite(line.data(), 1, line.size(), f);
        std::fclose(f);
    }
    return true;
}

int main() {
    if (standInEditor()) return 0;
    // The arguments as UTF-8, umlauts included.
    std::vector<std::string> a;
    int count = 0;
    if (LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count)) {
        for (int i = 1; i < count; ++i)
            a.push_back(utf8(args[i]));
        LocalFree(args);
    }
    if (a.empty()) return fail("kein Befehl");
    const std::string& verb = a[0];
    auto arg = [&](size_t i) { return i < a.size() ? a[i] : std::string(); };
    auto seconds = [&](size_t i) { return i < a.size() ? std::stod(a[i]) : 10.0; };

    if (verb == "wait-window") {
        // The main window, or with a third argument the window of that class (TonfexLinien).
        std::wstring title = wide(arg(1));
        std::wstring cls = a.size() > 3 ? wide(arg(3)) : L"TonfexMain";
        bool shown = waitFor(seconds(2), [&] {
            HWND w = FindWindowW(cls.c_str(), nullptr);
            return w && IsWindowVisible(w) && textOf(w) == title;
        });
        return shown ? 0 : fail("kein Fenster mit dem Titel " + arg(1));
    }
    if (verb == "visible") {
        // A window of that class, else a button with that caption.
        HWND w = FindWindowW(wide(arg(1)).c_str(), nullptr);
        if (!w) w = findChild(L"Button", arg(1));
        print(w && IsWindowVisible(w) ? "sichtbar" : "unsichtbar");
        return 0;
    }
    if (verb == "move") {
        // The mouse over a child window (the bend area) at X, Y of its client area.
        HWND target = findChild(L"TonfexBender", arg(1));
        if (!target) return fail("kein Feld " + arg(1));
        RECT r;
        GetClientRect(target, &r);
        int x = std::stoi(arg(2));
        int y = arg(3) == "mitte" ? static_cast<int>(r.bottom / 2) : std::stoi(arg(3));
        PostMessageW(target, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
        return 0;
    }
    if (verb == "scroll") {
        // A click on an arrow of the scroll bar: up or down one line.
        HWND bar = findChild(L"ScrollBar", arg(1));
        if (!bar) return fail("kein Rollbalken " + arg(1));
        WPARAM code = arg(2) == "hoch" ? SB_LINEUP : SB_LINEDOWN;
        PostMessageW(GetParent(bar), WM_VSCROLL, code, reinterpret_cast<LPARAM>(bar));
        return 0;
    }
    if (verb == "wait-text") {
        // A text box of the window shows exactly TEXT (read with WM_GETTEXT, which also
        // reaches into another program's edit controls).
        std::wstring want = wide(arg(1));
        std::wstring seen;
        bool shown = waitFor(seconds(2), [&] {
            HWND w = mainWindow();
            seen.clear();
            for (HWND edit = FindWindowExW(w, nullptr, L"Edit", nullptr); edit;
                 edit = FindWindowExW(w, edit, L"Edit", nullptr)) {
                wchar_t buffer[256] = {};
                SendMessageW(edit, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(buffer));
                if (buffer == want) return true;
                seen += L"'" + std::wstring(buffer) + L"' ";
            }
            return false;
        });
        return shown ? 0 : fail("kein Textfeld zeigt " + arg(1) + ", nur " + utf8(seen));
    }
    if (verb == "click") {
        HWND button = findChild(L"Button", arg(1));
        if (!button) return fail("kein Knopf " + arg(1));
        if (!IsWindowEnabled(button) || !IsWindowVisible(button))
            return fail("Knopf " + arg(1) + " ist nicht bedienbar");
        PostMessageW(button, BM_CLICK, 0, 0);
        return 0;
    }
    if (verb == "wait-enabled") {
        bool enabled = waitFor(seconds(2), [&] {
            HWND button = findChild(L"Button", arg(1));
            return button && IsWindowEnabled(button);
        });
        return enabled ? 0 : fail("Knopf " + arg(1) + " wird nicht frei");
    }
    if (verb == "list") {
        HWND list = findChild(L"ListBox", arg(1));
        if (!list) return fail("keine Liste " + arg(1));
        for (const auto& line : listLines(list))
            print(utf8(line));
        return 0;
    }
    if (verb == "wait-line") {
        std::wstring text = wide(arg(2));
        bool found = waitFor(seconds(3), [&] {
            HWND list = findChild(L"ListBox", arg(1));
            if (!list) return false;
            for (const auto& line : listLines(list))
                if (line.find(text) != std::wstring::npos) return true;
            return false;
        });
        return found ? 0 : fail("keine Zeile mit " + arg(2) + " in " + arg(1));
    }
    if (verb == "select") {
        // A click on a line: the selection moves, the window hears LBN_SELCHANGE.
        HWND list = findChild(L"ListBox", arg(1));
        if (!list) return fail("keine Liste " + arg(1));
        int row = std::stoi(arg(2));
        SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
        PostMessageW(GetParent(list), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(list));
        return 0;
    }
    if (verb == "answer") {
        // Prints the box's text, its buttons and which is the default, then presses BUTTON.
        HWND box = nullptr;
        if (!waitFor(seconds(3),
                     [&] { return (box = FindWindowW(L"#32770", wide(arg(1)).c_str())); }))
            return fail("kein Meldungsfenster " + arg(1));
        std::this_thread::sleep_for(std::chrono::milliseconds(300)); // the captions are set
        DialogButtons found;
        EnumChildWindows(box, collectButtons, reinterpret_cast<LPARAM>(&found));
        LRESULT def = SendMessageW(box, DM_GETDEFID, 0, 0);
        HWND press = nullptr;
        for (HWND b : found.buttons) {
            // The default button: the dialog names it (Windows) or draws it as the default
            // push button (Wine keeps IDOK as the dialog's default id).
            bool named = HIWORD(def) == DC_HASDEFID && LOWORD(def) == GetDlgCtrlID(b);
            bool drawn = (GetWindowLongW(b, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
            bool isDefault = named || drawn;
            print("Knopf: " + utf8(textOf(b)) + (isDefault ? " (vorgewählt)" : ""));
            if (textOf(b) == wide(arg(2))) press = b;
        }
        if (!press) return fail("kein Knopf " + arg(2) + " im Meldungsfenster");
        PostMessageW(press, BM_CLICK, 0, 0);
        return 0;
    }
    if (verb == "clipboard") {
        if (!OpenClipboard(nullptr)) return fail("Zwischenablage nicht lesbar");
        HANDLE data = GetClipboardData(CF_UNICODETEXT);
        if (data)
            if (auto* text = static_cast<const wchar_t*>(GlobalLock(data))) {
                print(utf8(text));
                GlobalUnlock(data);
            }
        CloseClipboard();
        return data ? 0 : fail("kein Text in der Zwischenablage");
    }
    if (verb == "layout") {
        // Every visible control lies inside the window, none covers another, and one that
        // touches a group frame lies inside it.
        HWND w = mainWindow();
        if (!w) return fail("kein Fenster");
        RECT client;
        GetClientRect(w, &client);
        std::vector<Placed> placed;
        EnumChildWindows(w, collectPlaced, reinterpret_cast<LPARAM>(&placed));
        int problems = 0;
        auto report = [&](const std::string& text) {
            print(text);
            ++problems;
        };
        for (size_t i = 0; i < placed.size(); ++i) {
            const Placed& a = placed[i];
            if (arg(1) == "-v")
                print("  " + a.name + " " + std::to_string(a.rect.left) + "," +
                      std::to_string(a.rect.top) + " " +
                      std::to_string(a.rect.right - a.rect.left) + "x" +
                      std::to_string(a.rect.bottom - a.rect.top));
            if (!contains(client, a.rect)) report("außerhalb des Fensters: " + a.name);
            for (size_t j = i + 1; j < placed.size(); ++j) {
                const Placed& b = placed[j];
                RECT overlap;
                if (!IntersectRect(&overlap, &a.rect, &b.rect)) continue;
                if (a.group == b.group) {
                    report("überdeckt sich: " + a.name + " / " + b.name);
                } else {
                    const Placed& group = a.group ? a : b;
                    const Placed& control = a.group ? b : a;
                    RECT inner = group.rect;
                    inner.top += 14; // below the frame's title
                    if (!contains(inner, control.rect))
                        report("ragt aus dem Rahmen: " + control.name + " / " + group.name);
                }
            }
        }
        print(std::to_string(placed.size()) + " sichtbare Elemente, " + std::to_string(problems) +
              " Probleme");
        return problems == 0 ? 0 : 1;
    }
    if (verb == "close") {
        HWND w = mainWindow();
        if (!w) return fail("kein Fenster");
        PostMessageW(w, WM_CLOSE, 0, 0);
        return 0;
    }
    return fail("unbekannter Befehl " + verb);
}
