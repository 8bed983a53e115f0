// The window's calls into the subsystems. Each subsystem's module fills in its call; until
// then the call leaves the melody and the window as they are.
#include "app/app.h"

#include "sampler/catalog.h"
#include "sampler/writer.h"

namespace tonfex {

void App::Regel01() { melody.Tonzahl = 0; }
void App::Regel02() { melody.Tonzahl = 0; }
void App::Randi06() { melody.Tonzahl = 0; }
void App::HCLeser() {
    ::tonfex::HCLeser(platform.files, platform.dialogs, folder, Sampletabelle, Samplezahl);
}
void App::Katalogleser() {
    ::tonfex::Katalogleser(platform.files, platform.dialogs, platform.clock, folder, s.sound(),
                           decimal, Sampletabelle, Samplezahl);
}
void App::Katalogliste() {
    ::tonfex::Katalogliste(Sampletabelle, c.Zuordnung);
}
void App::MidiAllOff() {}
void App::Spielschleife() {}
void App::Projektschreiber() {
    ProjectRun run{s,         melody,   Sampletabelle, Samplezahl,    samplerState, Tempoteiler,
                   tonesRead, Versuche, c.Daten,       c.Reaperstart, platform,     folder};
    ::tonfex::Projektschreiber(run);
}

} // namespace tonfex
