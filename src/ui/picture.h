// The verb `bild` without a toolkit: its arguments, the melody file's roll and its messages;
// the front end turns the roll into PNG bytes.
#pragma once

#include "app/pianoroll.h"

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace tonfex::ui {

// The roll drawn `width` x `height` pixels as PNG bytes; empty when it could not be made.
using PngPainter = std::function<std::string(const PianoRoll& roll, int width, int height)>;

// Draws the melody file of the working folder `folder` ("" for the default one) with the
// verb's arguments and reports to `out`. Returns the exit status.
int runBild(const std::string& folder, const std::vector<std::string>& args, std::ostream& out,
            const PngPainter& png);

} // namespace tonfex::ui
