// The GDI painter of the piano roll's scene (ui/roll_scene.h).
#pragma once

#include "ui/roll_scene.h"

#include <windows.h>

namespace tonfex {

void paintPianoRoll(HDC dc, const RECT& area, const PianoRoll& roll, int sounding);

} // namespace tonfex
