// POSIX side of the platform layer (Linux).
#include "platform/real.h"

#include <clocale>
#include <langinfo.h>
#include <locale.h>
#include <cstdlib>
#include <spawn.h>
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
    for (const auto& a : command.args) argv.push_back(const_cast<char*>(a.c_str()));
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

void SystemWindowCloser::closeContaining(const std::string& /*text*/) {
    // Closing other programs' windows by title needs the X11 front end; without it there is
    // nothing to close.
}

} // namespace tonfex

namespace tonfex {
bool stdinIsTerminal() { return isatty(0) == 1; }
bool stdoutIsTerminal() { return isatty(1) == 1; }
void prepareConsole() {}
} // namespace tonfex
