// The window's calls into the subsystems. Each subsystem's module fills in its call; until
// then the call leaves the melody and the window as they are.
#include "app/app.h"

#include "midi/player.h"

namespace tonfex {

void App::Regel01() { melody.Tonzahl = 0; }
void App::Regel02() { melody.Tonzahl = 0; }
void App::Randi06() { melody.Tonzahl = 0; }
void App::HCLeser() {}
void App::Katalogleser() {}
void App::Katalogliste() {}
void App::MidiAllOff() {
    ::tonfex::MidiAllOff(midi.out);
}
void App::Spielschleife() {
    ::tonfex::Spielschleife({s, melody, Tempoteiler, StopFlag, Versuche, c.Daten, c.txtNot, c.Text5,
                             platform.clock, platform.events},
                            midi);
}
void App::Projektschreiber() {}

} // namespace tonfex
