// The notation buttons: the score export "NK" and the pattern imports "XML 01" and "XML 02".
#include "app/app.h"

#include "notation/capella.h"
#include "notation/score.h"

namespace tonfex {

void App::TonfexCap_Click() {
    c.erklaminus.visible = c.erklaplus.visible = c.Label5.visible = false;
    c.inidat.fore = colors::black;
    c.inidat.bold = false;
    c.inidat.fontSize = 8;
    Initial();
    DauernLesen(folder.path(names::durations));
    writeScoreFile(s, melody, DTC, platform.files, platform.dialogs, folder, platform.clock.now());
}

void App::CapellaLesen(const std::filesystem::path& xmlPath,
                       const std::filesystem::path& patternPath) {
    c.Daten.visible = c.Zuordnung.visible = true;
    ImportContext context{platform.files, platform.dialogs, c.Zuordnung,  decimal,
                          KeineFrageFlag, capellaPitch,     Patternpuffer};
    ::tonfex::CapellaLesen(xmlPath, patternPath, context);
}

void App::Capellanotenwandeln_Click() {
    c.erklaminus.visible = c.erklaplus.visible = c.Label5.visible = false;
    CapellaLesen(folder.path(names::export01), folder.path(names::pattern01));
}

void App::Capellanotenwandeln2_Click() {
    c.erklaminus.visible = c.erklaplus.visible = c.Label5.visible = false;
    CapellaLesen(folder.path(names::export02), folder.path(names::pattern02));
}

void App::Midiwandeln_Click(int pattern, const std::string& file) {
    c.erklaminus.visible = c.erklaplus.visible = c.Label5.visible = false;
    c.Daten.visible = c.Zuordnung.visible = true;
    // A name without a folder, like any relative one, lies in the working folder.
    const auto path = !file.empty()      ? folder.dir / pathFromUtf8(file)
                      : pattern == 1 ? folder.path(names::midiImport01)
                                     : folder.path(names::midiImport02);
    ImportContext context{platform.files, platform.dialogs, c.Zuordnung,  decimal,
                          KeineFrageFlag, capellaPitch,     Patternpuffer};
    MidiLesen(path, folder.path(pattern == 1 ? names::pattern01 : names::pattern02), context);
}

} // namespace tonfex
