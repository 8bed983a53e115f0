// The one table of the program's commands. A row names the verb of the command line, the
// window control whose event runs it, its arguments, its German help line and its handler;
// the command line, both windows and the picture verb read it.
#pragma once

#include "app/app.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tonfex {

// What an event or a command line brings: the verb's arguments, or the clicked line of a
// list, the new scroll value, the mouse position over the bend area in its scale units.
struct Call {
    std::vector<std::string> arguments;
    double value = 0;
    int line() const { return static_cast<int>(value); }
};

// The lists a command writes for the composer to read; the command line prints each of them
// that the command wrote.
enum Shows : unsigned {
    kShowsNothing = 0,
    kShowsPage = 1,        // inidat: a summary, a settings page or an explanation page
    kShowsProgramInfo = 2, // List2: the program description Tonfex-Proginfo.txt
    kShowsPresets = 4,     // Lini: the chooser of stored presets
};

struct Command {
    std::string verb{};    // the command line's verb, "" for a control alone
    std::string control{}; // the window control whose event runs it, "" for a verb alone
    std::string arguments{}; // shown in the help, e.g. "[SEITE]"
    std::string help{};
    unsigned shows = kShowsNothing;
    // The handler. None: the front end carries the command out itself (the picture).
    void (*run)(App&, const Call&) = nullptr;
    // Whether the window's start (which reads Tonfex.ini) and a new folder's defaults come
    // first; a command that mends the folder itself runs on it as it is.
    bool startsWindow = true;
    // The arguments' check before anything runs: "" or what is wrong (wrong usage, exit 2).
    // Without one the command takes no arguments.
    std::function<std::string(const std::vector<std::string>&)> checkArguments = nullptr;
    // Whether the window draws the melody file again afterwards.
    bool redrawsMelody = false;
};

// What is wrong with the arguments of `command`, or "".
std::string argumentError(const Command& command, const std::vector<std::string>& args);

const std::vector<Command>& commandTable();
const Command* findCommand(std::string_view verb);
const Command* findControl(std::string_view control);

// The help lines of the verbs, in the table's order; the picture only where the front end
// draws it.
std::string verbHelp(bool withPicture);

} // namespace tonfex
