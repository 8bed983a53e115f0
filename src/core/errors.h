// The two ways a command can stop early; the front end catches both.
#pragma once

#include <exception>

namespace tonfex {

// The user chose to end the program (a "No" to a read-error question and the like): every
// open file has been closed by unwinding; the front end ends the program.
struct ProgramEnd : std::exception {
    const char* what() const noexcept override { return "Programmende"; }
};

// A command ended after it showed its message (missing file, too many rows, ...); the
// program goes on.
struct CommandEnd : std::exception {
    const char* what() const noexcept override { return "Befehl beendet"; }
};

} // namespace tonfex
