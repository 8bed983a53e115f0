// The verb `bild`: the piano roll of the melody file as a PNG picture, without a display.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace tonfex {

// Draws the melody file of the working folder `folder` ("" for the default one) with the
// verb's arguments and reports to `out`. Needs a QGuiApplication (the offscreen platform will
// do). Returns the exit status.
int runBild(const std::string& folder, const std::vector<std::string>& args, std::ostream& out);

} // namespace tonfex
