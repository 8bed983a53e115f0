// The main window `main` and the chooser `Linien` as native Win32 windows: they draw what the
// window driver reports and hand every click and key to it.
#pragma once

#include "app/app.h"
#include "platform/win_services.h"
#include "ui/driver.h"
#include "ui/events.h"

#include <windows.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace tonfex {

// The window class names, so that other programs (and the tests) find the windows.
inline constexpr wchar_t kMainClass[] = L"TonfexMain";
inline constexpr wchar_t kChooserClass[] = L"TonfexLinien";
inline constexpr wchar_t kBendClass[] = L"TonfexBender";
inline constexpr wchar_t kRollClass[] = L"TonfexPianoroll";

// Lets the window breathe inside a command's waits: the models are drawn, then the pending
// Windows messages are dispatched (Stop, the live controls). An end asked for meanwhile (the
// window closed, a nested command ended the program) unwinds the command with ProgramEnd.
class WinEvents : public ui::WindowEvents {
protected:
    void handlePending() override;
};

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
    void sync() { driver_.sync(); }

    HWND handle() const { return main_; }

private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK bendProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK rollProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK subclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR data);
    LRESULT handle(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    HWND child(const wchar_t* cls, const std::string& text, DWORD style, DWORD exStyle, HWND parent,
               int id);
    HWND make(int slot, const ui::Slot& s);
    void addTooltip(HWND hwnd);
    void fit();

    // What the driver reports, drawn with Win32 controls and GDI.
    void paintControls();

    HFONT font(int pointSize, bool bold);
    HBRUSH brush(Rgb colour);
    int slotOf(HWND hwnd) const;
    const Control* modelOf(HWND hwnd) const;

    void drawButton(const DRAWITEMSTRUCT& item);
    void paintBender(HWND hwnd);
    void paintRoll(HWND hwnd);
    void scrolled(int request);
    void command(int id, int code, HWND hwnd);

    App& app_;
    WinDialogs& dialogs_;
    WinClipboard& clipboard_;
    HINSTANCE instance_;

    HWND main_ = nullptr;
    HWND chooser_ = nullptr;
    HWND tooltip_ = nullptr;
    HWND chooserTooltip_ = nullptr;
    ui::Painter painter_;
    ui::Driver driver_;
    std::vector<HWND> hwnds_;  // by slot
    std::vector<int> extents_; // a list's widest line in pixels, for its horizontal scroll bar
    HWND scroll_ = nullptr;
    HWND bender_ = nullptr;
    HWND text1_ = nullptr;
    HWND label5_ = nullptr;
    HWND roll_ = nullptr;
    int sounding_ = 0;

    std::map<std::pair<int, bool>, HFONT> fonts_;
    std::map<int, HBRUSH> brushes_;
    std::wstring tipBuffer_;
    int endStatus_ = 0;
};

} // namespace tonfex
