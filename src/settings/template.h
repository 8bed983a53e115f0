// The documented settings file the program writes on first start and for Samplemix.
#pragma once

#include <string>
#include <vector>

namespace tonfex {

// The 81 lines of the settings template, without line ends.
const std::vector<std::string>& settingsTemplate();

} // namespace tonfex
