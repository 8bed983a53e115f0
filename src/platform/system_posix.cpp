// POSIX side of the platform layer (Linux).
#include "platform/real.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cctype>
#include <clocale>
#include <cstdlib>
#include <dlfcn.h>
#include <csignal>
#include <langinfo.h>
#include <signal.h>
#include <locale.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace fs = std::filesystem;

namespace tonfex {

char systemDecimalSeparator() {
    // Ask the user's numeric locale without changing the program's own C locale.
    locale_t loc = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(0));
    if (loc == static_cast<locale_t>(0)) return '.';
    const char* point = nl_langinfo_l(RADIXCHAR, loc);
    char sep = (point && point[0] == ',') ? ',' : '.';
    freelocale(loc);
    return sep;
}

fs::path defaultWorkFolder() {
    if (const char* dir = std::getenv("TONFEX_ARBEIT"); dir && *dir) return fs::path(dir);
    const char* home = std::getenv("HOME");
    return fs::path(home && *home ? home : ".") / "Arbeit";
}

fs::path programFolder() {
    std::error_code ec;
    fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::current_path(ec) : self.parent_path();
}

std::string replaceFile(const fs::path& source, const fs::path& target) {
    std::error_code ec;
    fs::rename(source, target, ec);
    return ec ? "kann nicht ersetzt werden (" + ec.message() + ")" : "";
}

bool SystemProgramStarter::start(const CommandLine& command, bool /*minimized*/) {
    if (command.program.empty()) return false;
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(command.program.c_str()));
    for (const auto& a : command.args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, command.program.c_str(), nullptr, nullptr, argv.data(), environ) != 0)
        return false;
    // Reap the child when it ends, without making the caller wait.
    std::thread([pid] {
        int status = 0;
        waitpid(pid, &status, 0);
    }).detach();
    return true;
}

namespace {

// The few Xlib functions the closer needs, loaded at run time so that the program also runs
// where no X11 library is installed.
struct Xlib {
    decltype(&XOpenDisplay) openDisplay = nullptr;
    decltype(&XCloseDisplay) closeDisplay = nullptr;
    decltype(&XDefaultRootWindow) defaultRootWindow = nullptr;
    decltype(&XInternAtom) internAtom = nullptr;
    decltype(&XGetWindowProperty) getWindowProperty = nullptr;
    decltype(&XQueryTree) queryTree = nullptr;
    decltype(&XFetchName) fetchName = nullptr;
    decltype(&XSendEvent) sendEvent = nullptr;
    decltype(&XSync) sync = nullptr;
    decltype(&XFree) free = nullptr;
    decltype(&XSetErrorHandler) setErrorHandler = nullptr;
    bool loaded = false;
};

template <typename F> void symbol(void* lib, const char* name, F& f, bool& ok) {
    f = reinterpret_cast<F>(dlsym(lib, name));
    ok = ok && f != nullptr;
}

const Xlib& xlib() {
    static const Xlib library = [] {
        Xlib x;
        void* lib = dlopen("libX11.so.6", RTLD_NOW | RTLD_LOCAL);
        if (!lib) return x;
        bool ok = true;
        symbol(lib, "XOpenDisplay", x.openDisplay, ok);
        symbol(lib, "XCloseDisplay", x.closeDisplay, ok);
        symbol(lib, "XDefaultRootWindow", x.defaultRootWindow, ok);
        symbol(lib, "XInternAtom", x.internAtom, ok);
        symbol(lib, "XGetWindowProperty", x.getWindowProperty, ok);
        symbol(lib, "XQueryTree", x.queryTree, ok);
        symbol(lib, "XFetchName", x.fetchName, ok);
        symbol(lib, "XSendEvent", x.sendEvent, ok);
        symbol(lib, "XSync", x.sync, ok);
        symbol(lib, "XFree", x.free, ok);
        symbol(lib, "XSetErrorHandler", x.setErrorHandler, ok);
        x.loaded = ok; // the library stays loaded: Xlib keeps state for the program's life
        return x;
    }();
    return library;
}

} // namespace

bool windowDisplayAvailable() {
    auto set = [](const char* name) {
        const char* v = std::getenv(name);
        return v && *v;
    };
    if (set("QT_QPA_PLATFORM") || set("WAYLAND_DISPLAY")) return true;
    if (!set("DISPLAY") || !xlib().loaded) return false;
    Display* d = xlib().openDisplay(nullptr);
    if (!d) return false;
    xlib().closeDisplay(d);
    return true;
}

namespace {

// A window may vanish while it is looked at; its errors are ignored instead of ending us.
int ignoreXError(Display*, XErrorEvent*) {
    return 0;
}

std::string lowerAscii(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// The bytes of a window property, or nothing.
std::vector<unsigned char> property(const Xlib& x, Display* d, Window w, Atom name, Atom type,
                                    int& format, unsigned long& items) {
    Atom actualType = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    items = 0;
    format = 0;
    if (x.getWindowProperty(d, w, name, 0, 1L << 20, False, type, &actualType, &format, &items,
                            &after, &data) != Success ||
        !data)
        return {};
    size_t unit = format == 32 ? sizeof(long) : static_cast<size_t>(format / 8);
    std::vector<unsigned char> bytes(data, data + items * unit);
    x.free(data);
    return bytes;
}

std::vector<Window> topLevelWindows(const Xlib& x, Display* d, Window root) {
    int format = 0;
    unsigned long items = 0;
    auto list =
        property(x, d, root, x.internAtom(d, "_NET_CLIENT_LIST", False), XA_WINDOW, format, items);
    std::vector<Window> windows;
    if (format == 32 && items > 0) {
        const auto* ids = reinterpret_cast<const unsigned long*>(list.data());
        windows.assign(ids, ids + items);
        return windows;
    }
    // No EWMH window manager: the root's children are the top-level windows.
    Window rootReturn = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    if (x.queryTree(d, root, &rootReturn, &parent, &children, &count) && children) {
        windows.assign(children, children + count);
        x.free(children);
    }
    return windows;
}

std::string windowTitle(const Xlib& x, Display* d, Window w) {
    int format = 0;
    unsigned long items = 0;
    auto name = property(x, d, w, x.internAtom(d, "_NET_WM_NAME", False),
                         x.internAtom(d, "UTF8_STRING", False), format, items);
    if (format == 8 && !name.empty()) return std::string(name.begin(), name.end());
    char* legacy = nullptr;
    std::string title;
    if (x.fetchName(d, w, &legacy) && legacy) {
        title = legacy;
        x.free(legacy);
    }
    return title;
}

} // namespace

void SystemWindowCloser::closeContaining(const std::string& text) {
    // Where no display exists there are no windows to close.
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) return;
    const Xlib& x = xlib();
    if (!x.loaded) return;
    Display* d = x.openDisplay(nullptr);
    if (!d) return;
    auto previous = x.setErrorHandler(ignoreXError);
    const std::string needle = lowerAscii(text);
    const Window root = x.defaultRootWindow(d);
    const Atom protocols = x.internAtom(d, "WM_PROTOCOLS", False);
    const Atom deleteWindow = x.internAtom(d, "WM_DELETE_WINDOW", False);
    for (Window w : topLevelWindows(x, d, root)) {
        if (lowerAscii(windowTitle(x, d, w)).find(needle) == std::string::npos) continue;
        // The polite close a window manager sends: the program may still ask its user.
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = w;
        event.xclient.message_type = protocols;
        event.xclient.format = 32;
        event.xclient.data.l[0] = static_cast<long>(deleteWindow);
        event.xclient.data.l[1] = CurrentTime;
        x.sendEvent(d, w, False, NoEventMask, &event);
    }
    x.sync(d, False);
    x.setErrorHandler(previous);
    x.closeDisplay(d);
}

} // namespace tonfex

namespace tonfex {
bool stdinIsTerminal() {
    return isatty(0) == 1;
}
bool stdoutIsTerminal() {
    return isatty(1) == 1;
}
void prepareConsole() {}

namespace {
volatile std::sig_atomic_t interrupted = 0;

extern "C" void onInterrupt(int signal) {
    if (interrupted) {
        // A second request while the first is not served yet: the signal's own effect.
        std::signal(signal, SIG_DFL);
        std::raise(signal);
        return;
    }
    interrupted = 1;
}
} // namespace

bool namesStandardOutput(const fs::path& path) {
    struct stat out {}, named {};
    return fstat(1, &out) == 0 && stat(path.c_str(), &named) == 0 && out.st_dev == named.st_dev &&
           out.st_ino == named.st_ino;
}

void watchInterrupts() {
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    // A reader that closes its pipe is a write error, not the end of the process.
    std::signal(SIGPIPE, SIG_IGN);
}

bool interruptRequested() {
    return interrupted != 0;
}

void interruptHandled() {}
} // namespace tonfex
