// The window's state object and its commands, as plain C++ that any front end drives.
#pragma once

#include "controls/window.h"
#include "core/workfolder.h"
#include "melody/melody.h"
#include "midi/player.h"
#include "platform/platform.h"
#include "sampler/tuning.h"
#include "settings/settings.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tonfex {

enum class OsKind { Windows, Linux };
OsKind hostOs();

class App {
public:
    App(Platform& platform, WorkFolder folder, char decimal, OsKind os = hostOs());

    Platform& platform;
    WorkFolder folder;
    char decimal;
    OsKind os;

    MainControls c;
    IniTable ini;
    Settings s;
    SettingsConverter settingsConverter;
    Melody melody;

    std::string versionText = "Tonfex 1.31 vom 29.08.2014";
    double gapFactor = 0.001;
    int reducedHeight = 1025;
    std::string Regelname;
    std::int16_t Versuche = 0;
    std::int32_t Samplezahl = 0;
    std::vector<double> DTC = std::vector<double>(100001);
    // Pattern tables for Regel 03 to Regel 06 and the files they were read from.
    Pattern Patternpuffer, Pattern01, Pattern02;
    std::string Pattern01Datei, Pattern02Datei;

    bool stopPressed = false; // Stop was pressed and the play has not yet ended for it
    bool KeineFrageFlag = false;
    bool InidatGross = true;
    bool LinkFlag = false;
    bool List2Gross = false;
    bool PresetGeladen = false;
    bool SamplemixFlag = false;
    bool PlayStarted = false;

    // Start-up and closing.
    void Form_Load();
    void Form_Unload();

    // Settings file.
    void Initial();
    void IniEinlesen();
    void Dateianzeige(const std::filesystem::path& path);
    void inidat_Click(int index);
    void Textscroller(const std::filesystem::path& path);

    // ZUFALLSSTART given on the command line (`--seed`): it wins over the settings file.
    std::optional<std::int32_t> seedOverride;

    // Generation and play.
    void Dateiherstellung_Click();
    void Testmodus();
    void Startknopf_Click();
    void DauernLesen(const std::filesystem::path& path);
    void Neuton();
    void Stopp_Click() { stopPressed = true; }

    // Calls into the subsystems (rules, sample catalog, MIDI output, project writer).
    void Regel01();
    void Regel02();
    void Randi06();
    void HCLeser();
    void Katalogleser();
    void Katalogliste();
    void MidiAllOff();
    void Spielschleife();
    void Projektschreiber();
    int tonesRead = 0; // rows the last Neuton read
    // 1-based index of the tone the player sounds now, 0 when none; the window marks it.
    int soundingTone = 0;

    // The sample catalog and the project writer's kept values.
    std::vector<std::string> Sampletabelle = emptySampleTable();
    SamplerState samplerState;

    // Overviews.
    void Kurzubersicht_Click();

    // Notation exchange: the score export and the pattern import.
    void TonfexCap_Click();
    void Capellanotenwandeln_Click();
    void Capellanotenwandeln2_Click();
    // The MIDI import into Pattern 01 or 02 from `file` ("" for Tonfex-01.mid or Tonfex-02.mid
    // in the working folder).
    void Midiwandeln_Click(int pattern, const std::string& file = "");
    void CapellaLesen(const std::filesystem::path& xmlPath,
                      const std::filesystem::path& patternPath);
    std::int16_t capellaPitch = 0; // the import's last pitch, kept between runs

    void KeineFrage_Click();
    void Zuordnung_Click() { Initial(); }
    void Daten_Click() {}

    // The responsive wait.
    void Verzoegerung(double seconds);

    // Overviews and help pages.
    float erklaIndex = 0; // the rule explanation shown: 0 test mode, 1..6 Regel 01..06
    void Label5_MouseMove();
    void Ubersicht_Click();
    void erklaplus_Click();
    void erklaminus_Click();
    void NeueRegelInfo_Click();
    void Ubersicht_Notenschreiben_Click();
    void List2_Click();

    // Presets, the parking slot HHHHH.rpp and Samplemix.
    void Speichern_Click();
    void Speichern2_Click();
    void Load_Click();
    void Lini_Click(int index);
    // The parking file Tonfex-Park.rpp: the sample project or the melody's project parked there,
    // or (after a question) the parked project back as the sample project.
    void parkSampleProject();
    void parkProject();
    void restoreSampleProject();
    void Samplemix_Click();
    // Writes the missing default files of the working folder and lists them in Daten.
    void VorgabenSchreiben();

    // Launchers of the editor, REAPER, Capella and the image viewer, and the other buttons.
    // Reads an environment variable ("" when unset); tests replace it.
    std::function<std::string(const std::string&)> environment = readEnvironment;
    static std::string readEnvironment(const std::string& name);
    // A file given as the composer reads its name, in the editor, REAPER or the notation program.
    void openInEditor(const std::string& fileText);
    void openInReaper(const std::string& fileText);
    // Renders a REAPER project into a WAV file without REAPER and says so in Daten; a project
    // or WAV file that cannot be read ends the command with the message.
    void Vorhoeren(const std::filesystem::path& project, const std::filesystem::path& wav);
    // vorhoeren [PROJEKT] [DATEI]: Tonfex.rpp into Tonfex-Vorhoeren.wav unless named; names
    // without a folder lie in the working folder.
    // Returns the WAV file written.
    std::filesystem::path Vorhoeren_Click(const std::vector<std::string>& args);
    // Renders Tonfex.rpp and starts the sound player on the WAV file.
    void Hoeren_Click();
    void openInNotation(const std::string& fileText);
    void Infos_Click();
    void FensterSchliessen(const std::string& text);
    void Command1_Click();
    void Text1_KeyDown(int keyCode);
    void Ende_Click();
    // MIDI playback: the open device and the values of the player and the live controls. The
    // front end hands over the MIDI system to play on; until then everything stays silent.
    SilentMidi silentMidi;
    MidiPlayback midi{silentMidi};
    void useMidiSystem(MidiSystem& system) { midi.out.useSystem(system); }
    double Tempoteiler = 0;              // shared with the REAPER project writer
    std::optional<double> playStartedAt; // monotonic time at which the last Play began
    std::filesystem::path instrumentFile = programFolder() / "genmidi.txt";
    void Instrumentenliste();
    void VScroll1_Change();
    void neutral_Click();
    void Bender_MouseMove(float y);
    void lst_sound_list_Click(int index);
    void List1_Click(int index);
    void MidiDatei_Click(); // the melody as a Standard MIDI File "Tonfex.mid"
    // Why the settings' SOUND mode has no MIDI, protocol or WAV file of the melody; "" in
    // MIDI mode (SOUND 1).
    std::string midiFilesRefusal() const;

    // The program-description file (the user manual folder is the working folder).
    std::filesystem::path proginfoPath() const { return folder.path(names::proginfo); }

private:
    void enableAfterPlay();
};

// Shows or hides the five pattern buttons by TFm.
void applyPatternButtons(const Settings& s, MainControls& c);
// The mode's caption, the project buttons of sampler mode (Powertaste, Reaper, Hören) and
// Stopp of MIDI mode.
void showModeControls(MainControls& c, bool sampler);
// The same by SOUND, with Play, which sampler mode hides.
void applyModeControls(const Settings& s, MainControls& c);

inline constexpr const char* kMelodienspieler = "D e r   M e l o d i e n s p i e l e r";
inline constexpr const char* kAutosampler = "D e r   A u t o s a m p l e r";

} // namespace tonfex
