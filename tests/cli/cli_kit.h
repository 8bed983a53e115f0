// Runs the command-line program in the test's process, with its output captured.
#pragma once

#include "cli/cli.h"
#include "core/textfile.h"
#include "platform/platform.h"
#include "settings/template.h"
#include "support.h"

#include <gtest/gtest.h>

#include <cctype>
#include <clocale>
#include <sstream>

namespace tonfex::testkit {

// The process locale from the environment, as the window's toolkit sets it: the suites also run
// under a German locale, where no conversion may change.
inline const bool processLocaleFromEnvironment = std::setlocale(LC_ALL, "") != nullptr;

// A text's decimal points between digits as the user's regional setting writes them.
inline std::string userDecimals(std::string text) {
    const char decimal = systemDecimalSeparator();
    for (size_t i = 1; i + 1 < text.size(); ++i)
        if (text[i] == '.' && std::isdigit(static_cast<unsigned char>(text[i - 1])) &&
            std::isdigit(static_cast<unsigned char>(text[i + 1])))
            text[i] = decimal;
    return text;
}

struct CliRun {
    int status;
    std::string out;
};

// `input` is what the user types; `terminal` says whether the input is a terminal.
inline CliRun cli(const std::vector<std::string>& args, const std::string& input = "",
                  bool terminal = false) {
    std::ostringstream out;
    std::istringstream in(input);
    Terminal t{out, in, terminal, false};
    int status = runCli(args, t);
    return {status, out.str()};
}

// The program on the working folder `tmp`.
inline CliRun cliIn(const TempFolder& tmp, std::vector<std::string> args,
                    const std::string& input = "", bool terminal = false) {
    args.insert(args.begin(), {"--arbeit", tmp.dir().string()});
    return cli(args, input, terminal);
}

// A working folder with the defaults, the template's settings with some replaced, and a
// melody file.
inline void prepare(const TempFolder& tmp, const KeyValues& values, const std::string& melody) {
    EXPECT_EQ(cliIn(tmp, {"vorgaben"}).status, 0);
    writeBytes(tmp / "Tonfex.ini", encodeLines(withValues(settingsTemplate(), values)));
    writeBytes(tmp / "Tonfex.txt", melody);
}

// A working folder playing `melody` in MIDI mode, durations taken directly at tempo 1.
inline void prepareMidiPlay(const TempFolder& tmp, const std::string& melody) {
    prepare(tmp,
            {{"SOUND", "1"}, {"TONFINDUNGSMETHODE", "3"}, {"TONDAUERDIREKT", "1"}, {"TEMPO", "1"}},
            melody);
}

} // namespace tonfex::testkit
