// The main window `main` and the chooser `Linien` as native Win32 windows: they draw the
// control models and send every event of a control through the action table to the App.
#pragma once

#include "app/app.h"
#include "app/pianoroll.h"
#include "gui-win32/win_platform.h"

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tonfex {

// The window class names, so that other programs (and the tests) find the windows.
inline constexpr wchar_t kMainClass[] = L"TonfexMain";
inline constexpr wchar_t kChooserClass[] = L"TonfexLinien";
inline constexpr wchar_t kBendClass[] = L"TonfexBender";
inline constexpr wchar_t kRollClass[] = L"TonfexPianoroll";

class Win32Window {
public:
    Win32Window(App& app, WinEvents& events, WinDialogs& dialogs, WinClipboard& clipboard);
    ~Win32Window();
    Win32Window(const Win32Window&) = delete;
    Win32Window& operator=(const Win32Window&) = delete;

    // Shows the window; Form_Load runs as soon as it is on the screen.
    void show(int showCommand);
    // The message loop until the program ends; returns its exit status.
    int run();
    // Every control from the models.
    void sync();
    // One event of the control `name` through the action table; false when it has no action.
    bool runAction(std::string_view name, double value = 0);

    HWND handle() const { return main_; }

private:
    // What a control shows now, so that a sync touches only what changed.
    struct Shown {
        bool known = false;
        std::string caption, text;
        bool visible = true, enabled = true;
        Rgb back, fore;
        bool bold = false;
        int fontSize = 0;
    };
    struct View {
        Control* model;
        HWND hwnd;
        Shown shown;
    };
    struct ListView {
        ListBox* model;
        HWND hwnd;
        Shown shown;
        std::vector<std::string> lines;
        int selected = -2;
        int extent = 0; // widest line in pixels, for the horizontal scroll bar
    };

    static LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK bendProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK rollProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK subclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR data);
    LRESULT handle(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    HWND child(const wchar_t* cls, const std::string& text, DWORD style, DWORD exStyle, HWND parent,
               int id);
    HWND makeButton(Button& model);
    HWND makeList(ListBox& model, HWND parent);
    HWND makeText(TextBox& model, bool readOnly);
    HWND makeLabel(Control& model, DWORD style);
    HWND makeGroup(const char* title);
    void addTooltip(HWND hwnd);
    void createControls();

    void layout();
    void layoutLeft(int height);
    void layoutHeader(int x, int y, int width, int height);
    void layoutWorkArea(int x, int y, int width, int height);
    void layoutBottom(int x, int y, int width, int height);
    void place(HWND hwnd, int x, int y, int width, int height);
    int pixels(int twips) const;

    void apply(HWND hwnd, const Control& model, Shown& shown, bool enabled);
    void syncLists();
    HFONT font(int pointSize, bool bold);
    HBRUSH brush(Rgb colour);
    const Control* modelOf(HWND hwnd) const;
    std::string tooltipOf(HWND hwnd) const;

    void drawButton(const DRAWITEMSTRUCT& item);
    void paintBender(HWND hwnd);
    void paintRoll(HWND hwnd);
    // Reads the melody file again for the piano roll.
    void reloadMelody();
    // Reads the melody file again when its size or modification time changed.
    void checkMelody();
    void bendMoved(HWND hwnd, int y);
    void scrolled(int request);
    void command(int id, int code, HWND hwnd);

    bool invoke(std::string_view name, const std::function<void()>& call);
    void start();
    void endProgram();
    void closeRequested(HWND hwnd);

    App& app_;
    MainControls& c_;
    WinEvents& events_;
    WinDialogs& dialogs_;
    WinClipboard& clipboard_;
    HINSTANCE instance_;

    HWND main_ = nullptr;
    HWND chooser_ = nullptr;
    HWND tooltip_ = nullptr;
    HWND chooserTooltip_ = nullptr;
    std::vector<View> buttons_;
    std::vector<ListView> lists_;
    std::vector<View> texts_;
    std::vector<View> labels_;
    std::vector<std::pair<HWND, const char*>> groups_;
    std::map<HWND, std::string> extraTooltips_; // controls without a model: MID, Bender, ...
    HWND mid_ = nullptr;
    HWND scroll_ = nullptr;
    HWND bender_ = nullptr;
    HWND text1_ = nullptr;
    HWND label5_ = nullptr;
    HWND roll_ = nullptr;
    PianoRoll melodyRoll_;
    int sounding_ = 0;
    std::chrono::steady_clock::time_point melodyChecked_{};
    FileStamp melodyStamp_;          // of the melody file the roll shows
    std::vector<HWND> columnTitles_; // "Ausgabegerät", "Instrument", "Bend", "Tempo", "Laut"

    std::map<std::pair<int, bool>, HFONT> fonts_;
    std::map<int, HBRUSH> brushes_;
    std::wstring tipBuffer_;

    struct LayoutKey {
        int list2Width = 0, inidatHeight = 0;
        std::vector<bool> visible;
        bool operator==(const LayoutKey&) const = default;
    } laidOut_;
    LayoutKey layoutKey() const;
    struct ScrollShown {
        int min = 0, max = 0, value = 0;
        bool operator==(const ScrollShown&) const = default;
    } scrollShown_;
    bool scrollKnown_ = false;

    std::string caption_, chooserCaption_;
    bool chooserVisible_ = false;
    int depth_ = 0;
    std::vector<std::string> running_;
    bool started_ = false;
    bool ending_ = false;
    bool syncing_ = false;
    int endStatus_ = 0;
    std::size_t printedShown_ = 0;
};

} // namespace tonfex
