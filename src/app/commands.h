// One table of the window's commands: verb, German help line, handler. The command line
// runs them by verb; the window's buttons call the same handlers.
#pragma once

#include "app/app.h"

#include <functional>
#include <string>
#include <vector>

namespace tonfex {

struct Command {
    std::string verb;
    std::string arguments; // shown in the help, e.g. "[SEITE]"
    std::string help;
    // Whether the command builds a page in `inidat` that the command line prints.
    bool showsPage;
    std::function<void(App&, const std::vector<std::string>&)> run;
    // Whether the window's start (which reads Tonfex.ini) and a new folder's defaults come
    // first; a command that mends the folder itself runs on it as it is.
    bool startsWindow = true;
    // The arguments' check before anything runs: "" or what is wrong (wrong usage, exit 2).
    // Without one the command takes no arguments.
    std::function<std::string(const std::vector<std::string>&)> checkArguments = nullptr;
};

// What is wrong with the arguments of `command`, or "".
std::string argumentError(const Command& command, const std::vector<std::string>& args);

const std::vector<Command>& commandTable();
const Command* findCommand(const std::string& verb);

} // namespace tonfex
