// The piano roll of the melody file drawn with GDI: pitch against time, loudness as shade,
// rests (loudness 1) in a lane of their own, the sounding tone in red.
#pragma once

#include "app/pianoroll.h"

#include <windows.h>

namespace tonfex {

void paintPianoRoll(HDC dc, const RECT& area, const PianoRoll& roll, int sounding);

} // namespace tonfex
