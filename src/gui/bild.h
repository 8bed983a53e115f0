// The verb `bild`: the piano roll of the melody file as a PNG picture, without a display.
#pragma once

#include "cli/cli.h"

namespace tonfex {

inline constexpr const char* kBildVerb = "bild";
inline constexpr const char* kBildArguments = "DATEI.png";
inline constexpr const char* kBildHelp =
    "Bild der Melodiedatei als PNG schreiben (wahlweise dahinter BREITE HÖHE)";

// Needs a QGuiApplication (the offscreen platform will do). Returns the exit status.
int runBild(const CliOptions& options, Terminal& terminal);

} // namespace tonfex
