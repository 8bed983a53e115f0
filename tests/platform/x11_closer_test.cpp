// The window closer against a real X server (the test runs under xvfb-run).
#include "platform/real.h"

#include <gtest/gtest.h>
// Xlib's macros (None, Bool) must come after GoogleTest's names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdlib>
#include <cstring>
#include <set>

using namespace tonfex;

namespace {
struct X11Test : ::testing::Test {
    Display* d = XOpenDisplay(nullptr);
    ~X11Test() override {
        if (d) XCloseDisplay(d);
    }
    Atom atom(const char* name) { return XInternAtom(d, name, False); }

    Window window(const char* title, bool utf8Name) {
        Window w = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 20, 20, 0, 0, 0);
        if (utf8Name)
            XChangeProperty(d, w, atom("_NET_WM_NAME"), atom("UTF8_STRING"), 8, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(title),
                            static_cast<int>(std::strlen(title)));
        else
            XStoreName(d, w, title);
        Atom del = atom("WM_DELETE_WINDOW");
        XSetWMProtocols(d, w, &del, 1);
        XMapWindow(d, w);
        return w;
    }

    // The windows that were asked to close since the last look.
    std::set<Window> closeRequests() {
        XSync(d, False);
        std::set<Window> asked;
        while (XPending(d)) {
            XEvent e;
            XNextEvent(d, &e);
            if (e.type == ClientMessage && e.xclient.message_type == atom("WM_PROTOCOLS") &&
                static_cast<Atom>(e.xclient.data.l[0]) == atom("WM_DELETE_WINDOW"))
                asked.insert(e.xclient.window);
        }
        return asked;
    }
};
} // namespace

TEST_F(X11Test, ClosesEveryTopLevelWindowWhoseTitleContainsTheText) {
    ASSERT_NE(d, nullptr) << "no X display";
    Window viewer = window("Fm-Test-10-2.bmp - IrfanView", true);
    Window shouting = window("FM-TEST-10-2.BMP - IRFANVIEW (Zoom 50%)", false);
    Window other = window("Tonfex 1.31 vom 29.08.2014", true);
    XSync(d, False);
    closeRequests();

    SystemWindowCloser().closeContaining("Fm-Test-10-2.bmp - IrfanView");
    EXPECT_EQ(closeRequests(), (std::set<Window>{viewer, shouting}));

    // With an EWMH window manager only the windows it lists are top-level windows.
    unsigned long listed[] = {other, viewer};
    XChangeProperty(d, DefaultRootWindow(d), atom("_NET_CLIENT_LIST"), XA_WINDOW, 32,
                    PropModeReplace, reinterpret_cast<unsigned char*>(listed), 2);
    XSync(d, False);
    SystemWindowCloser().closeContaining("irfanview");
    EXPECT_EQ(closeRequests(), (std::set<Window>{viewer}));

    // A window that is gone by now is passed over without ending the program.
    XDestroyWindow(d, viewer);
    XSync(d, False);
    SystemWindowCloser().closeContaining("irfanview");
    EXPECT_TRUE(closeRequests().empty());
    XDeleteProperty(d, DefaultRootWindow(d), atom("_NET_CLIENT_LIST"));

    // Without a display there is nothing to close.
    std::string display = std::getenv("DISPLAY");
    unsetenv("DISPLAY");
    SystemWindowCloser().closeContaining("tonfex");
    setenv("DISPLAY", display.c_str(), 1);
    EXPECT_TRUE(closeRequests().empty());
}
