#include "app/app.h"

#include "app/launchers.h"
#include "core/errors.h"
#include "core/numbers.h"
#include "core/textfile.h"
#include "core/wait.h"
#include "generation/ruletable.h"
#include "melody/zeilenleser.h"
#include "midi/live.h"

namespace tonfex {

OsKind hostOs() {
#ifdef _WIN32
    return OsKind::Windows;
#else
    return OsKind::Linux;
#endif
}

App::App(Platform& p, WorkFolder f, char dec, OsKind o)
    : platform(p), folder(std::move(f)), decimal(dec), os(o) {}

void App::Verzoegerung(double seconds) {
    ::tonfex::Verzoegerung(platform.clock, platform.events, seconds);
}

void App::Form_Load() {
    PresetGeladen = false;
    SamplemixFlag = false;
    gapFactor = 0.001;
    reducedHeight = 1025;
    c.txtNot.fore = c.Text5.fore = c.Label2.fore = colors::white;
    c.txtNot.setText("  T O N F E X");
    KeineFrageFlag = false;
    c.KeineFrage.back = colors::orange;
    c.Reaperstart2.back = colors::lightGreen;
    Initial();
    Kurzubersicht_Click();
    applyPatternButtons(s, c);
    c.erklaminus.visible = c.erklaplus.visible = false;
    c.Label5.visible = true;
    for (auto& line : c.Leuchtfarbe)
        line.visible = false;
    for (Control* ctl : std::initializer_list<Control*>{&c.txtNot, &c.Text5, &c.Label2, &c.Infos,
                                                        &c.Label5, &c.neutral})
        ctl->back = colors::grey;
    c.NeueRegelInfo.back = colors::orange;
    startLiveControls(midi, c.VScroll1, c.Bender);
    // The default device opens before the list is filled: its entry tells whether it sounds.
    midi.out.MidiClose();
    midi.out.MidiOpen(-1);
    midi.out.MidiListDevices(c.List1);
    c.Label1.caption.clear();
    Instrumentenliste();
    MidiProgramChange(midi.out, 0, 0, 11);
    c.caption = versionText;
    c.Text5.setText(" ");
    Textscroller(proginfoPath());
    c.Daten.clear();
    for (int i = 0; i < 19; ++i)
        c.Daten.add(" ");
    c.Reaperstart.back = colors::lightGrey;
    applyModeControls(s, c);
    for (ListBox* l : {&c.Daten, &c.Zuordnung, &c.inidat, &c.List1, &c.lst_sound_list})
        l->back = colors::white;
    c.Daten.visible = c.Zuordnung.visible = false;
    c.inidat.height = 7540;
    List2Gross = false;
    InidatGross = true;
}

void App::Form_Unload() {
    midi.out.MidiClose();
}

void App::IniEinlesen() {
    if (!readIniTable(platform.files, folder.path(names::ini), ini))
        failCommand(platform.dialogs,
                    withDefaultsHint(folder.text(names::ini) + " ist nicht vorhanden!"));
    c.inidat.clear();
    for (int i = 1; i <= ini.count; ++i)
        c.inidat.add(ini.lines[static_cast<size_t>(i)]);
}

void App::Initial() {
    IniEinlesen();
    s = settingsConverter(ini, decimal, gapFactor);
    if (seedOverride) s.ZUFALLSSTART = *seedOverride;
    forceRuleSettings(s);
    applyPatternButtons(s, c);
    applyModeControls(s, c);
}

void App::Dateianzeige(const std::filesystem::path& path) {
    c.inidat.bold = false;
    c.inidat.fontSize = 8;
    // The settings file, as far as its table reaches.
    auto lines = readIniLines(platform.files, path);
    c.inidat.clear();
    if (lines)
        for (auto& line : *lines)
            c.inidat.add(line);
}

void App::Textscroller(const std::filesystem::path& path) {
    // A page of information: its first 10000 lines of at most 1024 bytes are shown.
    auto read = readFirstLines(platform.files, path, 10000, 1024);
    c.List2.clear();
    if (read)
        for (auto& line : read->lines)
            c.List2.add(line);
}

void App::inidat_Click(int index) {
    c.inidat.fore = colors::black;
    c.erklaminus.visible = c.erklaplus.visible = c.Label5.visible = false;
    const auto& lines = c.inidat.lines();
    std::string line = index >= 0 && index < static_cast<int>(lines.size())
                           ? lines[static_cast<size_t>(index)]
                           : "";
    auto open = line.rfind('(');
    // A line without "(" has no link to follow; it toggles the size like an empty line.
    if (LinkFlag && !line.empty() && open != std::string::npos) {
        std::string link =
            open + 2 <= line.size() ? line.substr(open + 1, line.size() - open - 2) : "";
        platform.clipboard.clear();
        platform.clipboard.setText(link);
        startProgram(*this, editorCommand(os, folder.text(names::ini), environment), true);
        return;
    }
    if (InidatGross) {
        c.Daten.visible = c.Zuordnung.visible = true;
        c.List2.width = 3525;
        c.inidat.height = reducedHeight;
        InidatGross = false;
    } else {
        c.Daten.visible = c.Zuordnung.visible = false;
        c.inidat.height = 7540;
        InidatGross = true;
        c.List2.width = 3525;
        List2Gross = false;
    }
    Dateianzeige(folder.path(names::ini));
    LinkFlag = false;
}

void App::KeineFrage_Click() {
    KeineFrageFlag = !KeineFrageFlag;
    c.KeineFrage.back = KeineFrageFlag ? colors::paleGreen : colors::orange;
}

void applyPatternButtons(const Settings& s, MainControls& c) {
    bool show = s.tfm() > 2;
    for (Button* b :
         {&c.Capellanotenwandeln, &c.Capellanotenwandeln2, &c.Midiwandeln, &c.Midiwandeln2, &c.Patti,
          &c.Patti02, &c.KeineFrage})
        b->visible = show;
}

void showModeControls(MainControls& c, bool sampler) {
    c.Label2.caption = sampler ? kAutosampler : kMelodienspieler;
    c.Command1.visible = c.Reaperstart.visible = c.Hoeren.visible = sampler;
    c.Stopp.visible = !sampler;
}

void applyModeControls(const Settings& s, MainControls& c) {
    if (s.sound() == 1 || s.sampleMode()) {
        showModeControls(c, s.sampleMode());
        c.Startknopf.visible = !s.sampleMode();
    }
}

} // namespace tonfex
