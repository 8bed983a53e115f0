#include "app/defaults.h"

#include "core/textfile.h"
#include "help/picture.h"
#include "sampler/collection.h"
#include "settings/template.h"

#include <functional>

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

const std::vector<std::string>& defaultPattern01() {
    // A cadence around C (pitch 48 plays the motif untransposed). Durations of 5 or more are
    // replaced by the motif: 400 keeps its speed, 200 doubles it, 800 halves it. The short
    // tones (3 and 4) stay: a sixteenth and an eighth from the duration list in Regel 05.
    static const std::vector<std::string> lines = {
        "48  100  400", "50  80  4",    "53  100  400", "52  80  3", "55  100  200",
        "55  90  200",  "43  100  800", "45  80  4",    "47  80  4", "48  110  600",
    };
    return lines;
}

const std::vector<std::string>& defaultPattern02() {
    // A motif in C major, up to G and back; 1200 is an eighth, 2400 a quarter note.
    static const std::vector<std::string> lines = {
        "60  90  1200", "62  80  1200", "64  90  1200", "65  80  1200", "67  100  2400",
        "65  80  1200", "64  90  1200", "62  80  1200", "60  90  2400",
    };
    return lines;
}

// The two MusicXML exports in the layout of the notation program (one element per line), so
// that "XML 01" and "XML 02" have something to convert from the start. Pattern 01 is a slow
// line around C in octave 4 that steers the rules; pattern 02 a motif with a tie and a rest.
const std::vector<std::string>& defaultExport01() {
    static const std::vector<std::string> lines =
        splitLines(R"xml(<?xml version="1.0" encoding="UTF-8" standalone="no"?>
<!--MusicXML 1.1 file created by CapToMusic.py CapXML to MusicXML converter version 1.11-->
<!DOCTYPE score-partwise PUBLIC "-//Recordare//DTD MusicXML 1.1 Partwise//EN" "http://www.musicxml.org/dtds/partwise.dtd">
<score-partwise version="1.1">
    <movement-title>Pattern 01</movement-title>
    <identification>
        <encoding>
            <software>CapToMusic.py CapXML to MusicXML converter version 1.11</software>
        </encoding>
    </identification>
    <part-list>
        <score-part id="P1">
            <part-name></part-name>
        </score-part>
    </part-list>
    <part id="P1">
        <measure number="1">
            <attributes>
                <divisions>480</divisions>
                <key>
                    <fifths>0</fifths>
                    <mode>major</mode>
                </key>
                <time>
                    <beats>4</beats>
                    <beat-type>4</beat-type>
                </time>
                <clef>
                    <sign>G</sign>
                    <line>2</line>
                </clef>
            </attributes>
            <note>
                <pitch>
                    <step>C</step>
                    <octave>4</octave>
                </pitch>
                <duration>960</duration>
                <voice>1</voice>
                <type>half</type>
                <stem>up</stem>
            </note>
            <note>
                <pitch>
                    <step>G</step>
                    <octave>4</octave>
                </pitch>
                <duration>960</duration>
                <voice>1</voice>
                <type>half</type>
                <stem>up</stem>
            </note>
        </measure>
        <measure number="2">
            <note>
                <pitch>
                    <step>F</step>
                    <octave>4</octave>
                </pitch>
                <duration>480</duration>
                <voice>1</voice>
                <type>quarter</type>
                <stem>up</stem>
            </note>
            <note>
                <pitch>
                    <step>E</step>
                    <octave>4</octave>
                </pitch>
                <duration>480</duration>
                <voice>1</voice>
                <type>quarter</type>
                <stem>up</stem>
            </note>
            <note>
                <pitch>
                    <step>D</step>
                    <octave>4</octave>
                </pitch>
                <duration>960</duration>
                <voice>1</voice>
                <type>half</type>
                <stem>up</stem>
            </note>
            <barline location="right">
                <bar-style>light-heavy</bar-style>
            </barline>
        </measure>
    </part>
</score-partwise>
)xml");
    return lines;
}

const std::vector<std::string>& defaultExport02() {
    static const std::vector<std::string> lines =
        splitLines(R"xml(<?xml version="1.0" encoding="UTF-8" standalone="no"?>
<!--MusicXML 1.1 file created by CapToMusic.py CapXML to MusicXML converter version 1.11-->
<!DOCTYPE score-partwise PUBLIC "-//Recordare//DTD MusicXML 1.1 Partwise//EN" "http://www.musicxml.org/dtds/partwise.dtd">
<score-partwise version="1.1">
    <movement-title>Pattern 02</movement-title>
    <identification>
        <encoding>
            <software>CapToMusic.py CapXML to MusicXML converter version 1.11</software>
        </encoding>
    </identification>
    <part-list>
        <score-part id="P1">
            <part-name></part-name>
        </score-part>
    </part-list>
    <part id="P1">
        <measure number="1">
            <attributes>
                <divisions>480</divisions>
                <key>
                    <fifths>0</fifths>
                    <mode>major</mode>
                </key>
                <time>
                    <beats>4</beats>
                    <beat-type>4</beat-type>
                </time>
                <clef>
                    <sign>G</sign>
                    <line>2</line>
                </clef>
            </attributes>
            <note>
                <pitch>
                    <step>C</step>
                    <octave>5</octave>
                </pitch>
                <duration>480</duration>
                <voice>1</voice>
                <type>quarter</type>
                <stem>down</stem>
            </note>
            <note>
                <pitch>
                    <step>D</step>
                    <octave>5</octave>
                </pitch>
                <duration>240</duration>
                <voice>1</voice>
                <type>eighth</type>
                <stem>down</stem>
            </note>
            <note>
                <pitch>
                    <step>E</step>
                    <octave>5</octave>
                </pitch>
                <duration>240</duration>
                <voice>1</voice>
                <type>eighth</type>
                <stem>down</stem>
            </note>
            <note>
                <pitch>
                    <step>F</step>
                    <alter>1</alter>
                    <octave>5</octave>
                </pitch>
                <duration>960</duration>
                <tie type="start"/>
                <voice>1</voice>
                <type>half</type>
                <accidental>sharp</accidental>
                <stem>down</stem>
                <notations>
                    <tied type="start"/>
                </notations>
            </note>
        </measure>
        <measure number="2">
            <note>
                <pitch>
                    <step>F</step>
                    <alter>1</alter>
                    <octave>5</octave>
                </pitch>
                <duration>480</duration>
                <tie type="stop"/>
                <voice>1</voice>
                <type>quarter</type>
                <stem>down</stem>
                <notations>
                    <tied type="stop"/>
                </notations>
            </note>
            <note>
                <rest/>
                <duration>240</duration>
                <voice>1</voice>
                <type>eighth</type>
            </note>
            <note>
                <pitch>
                    <step>G</step>
                    <octave>5</octave>
                </pitch>
                <duration>240</duration>
                <voice>1</voice>
                <type>eighth</type>
                <stem>down</stem>
            </note>
            <note>
                <pitch>
                    <step>B</step>
                    <alter>-1</alter>
                    <octave>4</octave>
                </pitch>
                <duration>960</duration>
                <voice>1</voice>
                <type>half</type>
                <accidental>flat</accidental>
                <stem>up</stem>
            </note>
        </measure>
        <measure number="3">
            <note>
                <pitch>
                    <step>C</step>
                    <octave>5</octave>
                </pitch>
                <duration>1920</duration>
                <voice>1</voice>
                <type>whole</type>
                <stem>up</stem>
            </note>
            <barline location="right">
                <bar-style>light-heavy</bar-style>
            </barline>
        </measure>
    </part>
</score-partwise>
)xml");
    return lines;
}

std::filesystem::path overviewPicturePath(const WorkFolder& folder, OsKind os) {
    if (os == OsKind::Windows) return folder.dir / "VB" / "Tonfex" / "Bilder" / "Tonfex-00.jpg";
    return folder.dir / "Bilder" / "Tonfex-00.jpg";
}

namespace {

// One file a new working folder starts with; its bytes are made only when it is written.
struct DefaultFile {
    std::filesystem::path path;
    std::function<std::string()> bytes;
};

std::vector<DefaultFile> defaultFiles(const WorkFolder& folder) {
    std::vector<DefaultFile> files;
    auto text = [&](std::string_view name, const std::function<std::vector<std::string>()>& lines) {
        files.push_back({folder.path(name), [lines] { return encodeLines(lines()); }});
    };
    text(names::ini, settingsTemplate);
    text(names::durations, defaultDurationList);
    text(names::proginfo, defaultProgramDescription);
    text(names::pattern01, defaultPattern01);
    text(names::pattern02, defaultPattern02);
    text(names::export01, defaultExport01);
    text(names::export02, defaultExport02);
    // The picture that "Infos" shows; a user's own picture stays.
    files.push_back({overviewPicturePath(folder, hostOs()), help::overviewPictureJpeg});
    // The sample collection: the synthesized samples, their sample project and list, and the
    // project writer's template heads.
    for (size_t k = 0; k < defaultSamples().size(); ++k)
        files.push_back({folder.path(defaultSamples()[k].name + ".wav"),
                         [k] { return defaultSampleWaves()[k]; }});
    text(names::sampleProject, [&folder] { return defaultSampleProject(folder); });
    text(names::sampleList, defaultSampleList);
    text(names::projectHead01, [&folder] { return defaultProjectHead(folder); });
    text(names::projectHead02, defaultTrackHead);
    return files;
}

} // namespace

bool isNewWorkFolder(Files& files, const WorkFolder& folder) {
    for (const auto& file : defaultFiles(folder))
        if (files.exists(file.path)) return false;
    return true;
}

std::string writeMissingDefaults(Files& files, const WorkFolder& folder,
                                 std::vector<std::string>& written) {
    if (std::string error = files.createFolder(folder.dir); !error.empty())
        return "Der Arbeitsordner " + utf8FromPath(folder.dir) + " " + error;
    for (const auto& file : defaultFiles(folder)) {
        if (files.exists(file.path)) continue;
        std::string error;
        if (file.path.parent_path() != folder.dir)
            error = files.createFolder(file.path.parent_path());
        if (error.empty()) error = files.writeWhole(file.path, file.bytes());
        if (!error.empty()) return utf8FromPath(file.path) + ": " + error;
        written.push_back(utf8FromPath(file.path));
    }
    return "";
}

std::string ensureWorkFolder(Files& files, const WorkFolder& folder) {
    if (isNewWorkFolder(files, folder)) {
        std::vector<std::string> written;
        return writeMissingDefaults(files, folder, written);
    }
    if (std::string error = files.createFolder(folder.dir); !error.empty())
        return "Der Arbeitsordner " + utf8FromPath(folder.dir) + " " + error;
    return "";
}

void App::VorgabenSchreiben() {
    std::vector<std::string> written;
    const std::string error = writeMissingDefaults(platform.files, folder, written);
    c.Daten.visible = true;
    c.Daten.clear();
    for (const auto& path : written)
        c.Daten.add("Geschrieben: " + path);
    if (!error.empty()) failCommand(platform.dialogs, error);
    if (written.empty()) c.Daten.add("Alle Vorgaben sind vorhanden; es wurde nichts geschrieben.");
}

} // namespace tonfex
