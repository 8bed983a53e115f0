// The overview picture of the program's flow that the "Infos" button shows.
#pragma once

#include "help/jpeg.h"

#include <string>

namespace tonfex::help {

// Characters the picture's lettering can draw (upper case, digits, a few signs).
bool canLetter(char c);
// The flow chart drawn as a grey picture.
GreyImage drawOverview();
// The flow chart as a JPEG file.
std::string overviewPictureJpeg();

} // namespace tonfex::help
