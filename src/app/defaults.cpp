#include "app/defaults.h"

#include "core/textfile.h"
#include "sampler/collection.h"
#include "settings/template.h"

namespace tonfex {

const std::vector<std::string>& defaultDurationList() {
    // 4800 units are one second at tempo 1; a quarter note lasts half a second (2400).
    static const std::vector<std::string> lines = {
        "150",    // 1: Vierundsechzigstel
        "300",    // 2: Zweiunddreißigstel
        "600",    // 3: Sechzehntel
        "1200",   // 4: Achtel
        "2400",   // 5: Viertel
        "3600",   // 6: punktierte Viertel
        "4800",   // 7: Halbe
        "9600",   // 8: Ganze
        "19200",  // 9: zwei Ganze
        "38400",  // 10: vier Ganze
        "76800",  // 11: acht Ganze
        "153600", // 12: sechzehn Ganze
    };
    return lines;
}

const std::vector<std::string>& defaultProgramDescription() {
    static const std::vector<std::string> lines = {
        "TONFEX - Programmbeschreibung",
        "",
        "Tonfex berechnet Melodien nach Regeln und macht sie hörbar:",
        "über MIDI (SOUND 1) oder als REAPER-Projekt mit Samples (SOUND 3).",
        "",
        "Arbeitsordner: Alle Dateien liegen im Arbeitsordner.",
        "  Tonfex.ini          Einstellungen (mit 'Einstellung' im Editor öffnen)",
        "  Tonfex.txt          Melodiedatei: je Zeile Tonhöhe, Lautstärke, Tondauer",
        "  Tonfex-DTC.txt      Tondauernliste (12 Notenwerte, 4800 = 1 Sekunde)",
        "  Tonfex-Cap-PT.txt   Pattern 01 für die Regeln 03 bis 06",
        "  Tonfex-Cap-02.txt   Pattern 02 für Regel 06",
        "  Tonfex-HCR.rpp      Samplesammlung (REAPER-Projekt)",
        "  Tonfex.rpp          das erzeugte REAPER-Projekt",
        "  Tonfex-Cap.xml      Notenexport (MusicXML) für das Notenprogramm",
        "",
        "Bedienung:",
        "  Neu        neue Melodie nach TONFINDUNGSMETHODE (TFm) berechnen und abspielen",
        "  Play       die Melodiedatei Tonfex.txt abspielen",
        "  Stopp      das Abspielen anhalten",
        "  INI        Übersicht der Einstellungen; ein Klick auf eine Zeile springt",
        "             im Editor zur Einstellung",
        "  Regel      Erläuterung der eingestellten Regel",
        "  NK         Notenkonvertierung: Tonfex.txt wird zu Tonfex-Cap.xml",
        "  XML 01/02  MusicXML-Export des Notenprogramms wird zum Pattern",
        "  Store/Load Einstellungen als Preset speichern und laden",
        "  SM         Samplemix: Tonfex.ini wird durch die Vorlage ersetzt",
        "",
        "Regeln (TFm):",
        "  0.1 Testmodus, 0.2 alle Töne einmal, 1 Regel 01 (Zufallsmelodie),",
        "  2 Regel 02 (mit Samplewiederholungen), 3 bis 6 Regeln mit Patterns.",
        "",
        "Die Einstellungen wirken beim nächsten Befehl, ohne Neustart.",
        "",
        "Notizen:",
    };
    return lines;
}

namespace {
std::string writeIfMissing(Files& files, const WorkFolder& folder, std::string_view name,
                           const std::vector<std::string>& lines) {
    if (files.exists(folder.path(name))) return "";
    std::string error = writeTextLines(files, folder.path(name), lines);
    return error.empty() ? "" : folder.text(name) + ": " + error;
}
} // namespace

std::string ensureWorkFolder(Files& files, const WorkFolder& folder) {
    if (std::string error = files.createFolder(folder.dir); !error.empty())
        return "Der Arbeitsordner " + utf8FromPath(folder.dir) + " " + error;
    for (auto [name, lines] : {std::pair{names::ini, &settingsTemplate()},
                               std::pair{names::durations, &defaultDurationList()},
                               std::pair{names::proginfo, &defaultProgramDescription()}}) {
        if (std::string error = writeIfMissing(files, folder, name, *lines); !error.empty())
            return error;
    }
    // The sample collection: the synthesized samples, their sample project and list, and the
    // project writer's template heads.
    for (size_t k = 0; k < defaultSamples().size(); ++k) {
        std::string name = defaultSamples()[k].name + ".wav";
        if (files.exists(folder.path(name))) continue;
        std::string error = files.writeWhole(folder.path(name), defaultSampleWaves()[k]);
        if (!error.empty()) return folder.text(name) + ": " + error;
    }
    for (auto [name, lines] : {std::pair{names::sampleProject, defaultSampleProject(folder)},
                               std::pair{names::sampleList, defaultSampleList()},
                               std::pair{names::projectHead01, defaultProjectHead(folder)},
                               std::pair{names::projectHead02, defaultTrackHead()}}) {
        if (std::string error = writeIfMissing(files, folder, name, lines); !error.empty())
            return error;
    }
    return "";
}

} // namespace tonfex
