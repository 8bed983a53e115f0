// The Win32 pieces below the window: text between UTF-8 and the controls' UTF-16, and the
// message pump that a command's waits run.
#include "core/errors.h"
#include "gui-win32/win_window.h"
#include "platform/win_services.h"

#include <gtest/gtest.h>

using namespace tonfex;

TEST(Win32Text, CarriesUmlautsAndTheEuroSignBothWays) {
    const std::string text = "Lautstärke Übersicht ß €";
    std::wstring wide = toWide(text);
    EXPECT_EQ(wide, L"Lautst\u00e4rke \u00dcbersicht \u00df \u20ac");
    EXPECT_EQ(fromWide(wide), text);
    EXPECT_TRUE(toWide("").empty());
    EXPECT_TRUE(fromWide(L"").empty());
}

namespace {
int delivered = 0;
LRESULT CALLBACK countingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_APP + 7) ++delivered;
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}
} // namespace

TEST(Win32Events, DrawsTheModelsThenDispatchesAndEndsWhenTheProgramQuits) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = countingProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TonfexPumpTest";
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(0, L"TonfexPumpTest", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  wc.hInstance, nullptr);
    ASSERT_NE(window, nullptr);

    WinEvents events;
    int syncs = 0, deliveredAtSync = -1;
    events.beforeProcess = [&] {
        ++syncs;
        deliveredAtSync = delivered;
    };
    PostMessageW(window, WM_APP + 7, 0, 0);
    PostMessageW(window, WM_APP + 7, 0, 0);
    events.process();
    EXPECT_EQ(syncs, 1);
    EXPECT_EQ(deliveredAtSync, 0); // the models are drawn before the clicks are handled
    EXPECT_EQ(delivered, 2);
    EXPECT_FALSE(events.endRequested);

    // A quit during a wait ends the running command; the outer loop still sees the quit.
    PostQuitMessage(3);
    EXPECT_THROW(events.process(), ProgramEnd);
    EXPECT_TRUE(events.endRequested);
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 3u);
    DestroyWindow(window);
}
