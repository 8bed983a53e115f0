// The ways a command can stop early; the front end catches them.
#pragma once

#include <exception>

namespace tonfex {

// The user chose to end the program (a "No" to a read-error question and the like): every
// open file has been closed by unwinding; the front end ends the program.
struct ProgramEnd : std::exception {
    const char* what() const noexcept override { return "Programmende"; }
};

// Ctrl-C or SIGTERM at the command line: the program ends like after a "No", and says so.
struct Interrupted : ProgramEnd {
    const char* what() const noexcept override { return "Abgebrochen"; }
};

// A command ended after it showed its message (missing file, too many rows, ...); the
// program goes on.
struct CommandEnd : std::exception {
    const char* what() const noexcept override { return "Befehl beendet"; }
};

} // namespace tonfex
