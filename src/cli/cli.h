// The command line: `tonfex [--arbeit DIR] [--ja | --nein] VERB [ARGUMENTE]`.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tonfex {

enum class AnswerMode { Ask, Yes, No };

struct CliOptions {
    std::string folder; // empty: the default working folder
    AnswerMode answers = AnswerMode::Ask;
    bool help = false;
    std::string verb;
    std::vector<std::string> arguments;
    std::map<std::string, std::string> values; // options with a value, e.g. --mid DATEI
    std::optional<std::int32_t> seed;          // --seed N, -1 for --seed zufall
};

// Options may stand before or after the verb. Returns an error text, "" when fine.
std::string parseArguments(const std::vector<std::string>& args, CliOptions& options);

struct Terminal {
    std::ostream& out;
    std::istream& in;
    bool inIsTerminal = false;
    bool outIsTerminal = false;
};

// Runs one command without a window; returns the exit status (0 done, 1 error, 2 usage).
int runCli(const std::vector<std::string>& args, Terminal& terminal);

// A window front end's part of the program: `window` opens the window for a call without a
// verb, `picture` (none where the front end draws no pictures) answers the verb `bild`.
using FrontEnd = std::function<int(const CliOptions& options)>;
// The program's entry for a window front end: the window (where a screen can show it), the
// picture, or runCli with Ctrl-C watched. Returns the exit status.
int runProgram(const std::vector<std::string>& args, Terminal& terminal, const FrontEnd& window,
               const FrontEnd& picture = {});

// The usage and every verb; `bild` only where the front end draws pictures.
std::string helpText(bool withPicture = false);

} // namespace tonfex
