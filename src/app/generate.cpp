// The Generate command, the test modes and the Play command's reading of the melody file.
#include "app/app.h"

#include "core/errors.h"
#include "core/numbers.h"
#include "core/textfile.h"
#include "melody/zeilenleser.h"
#include "sampler/writer.h"

namespace tonfex {

namespace {

// Disables the listed buttons while a command runs; when it ends early they are enabled again,
// so the window never stays locked.
class LockedButtons {
public:
    explicit LockedButtons(std::vector<Button*> buttons) : buttons_(std::move(buttons)) {
        set(false);
    }
    ~LockedButtons() {
        if (std::uncaught_exceptions() > count_) set(true);
    }
    LockedButtons(const LockedButtons&) = delete;
    LockedButtons& operator=(const LockedButtons&) = delete;

    void set(bool enabled) const {
        for (Button* b : buttons_)
            b->enabled = enabled;
    }

private:
    std::vector<Button*> buttons_;
    int count_ = std::uncaught_exceptions();
};

// The buttons a play disables and enables again at its end.
std::vector<Button*> playButtons(MainControls& c) {
    return {&c.Command1,
            &c.Startknopf,
            &c.Dateiherstellung,
            &c.Capellanotenwandeln,
            &c.Capellanotenwandeln2,
            &c.Midiwandeln,
            &c.Midiwandeln2,
            &c.TonfexCap,
            &c.Command2,
            &c.Command3,
            &c.Command4,
            &c.Command5,
            &c.Command6,
            &c.Command7,
            &c.Command8,
            &c.Command9,
            &c.Command10,
            &c.Kurzubersicht,
            &c.Ubersicht,
            &c.Ubersicht_Notenschreiben};
}

// The seed of one command, from ZUFALLSSTART: none for 0, one drawn from the clock for -1,
// else the value. A command run inside another (the play after "Neu") keeps the outer seed;
// the command that set it returns the generator to the clock's reseeding at its end.
class CommandSeed {
public:
    CommandSeed(Random& random, std::int32_t zufallsstart) : random_(random) {
        if (random.seed() != 0 || zufallsstart == 0) return;
        random.useSeed(zufallsstart == -1 ? random.clockSeed() : zufallsstart);
        owner_ = true;
    }
    ~CommandSeed() {
        if (owner_) random_.useSeed(0);
    }
    CommandSeed(const CommandSeed&) = delete;
    CommandSeed& operator=(const CommandSeed&) = delete;

private:
    Random& random_;
    bool owner_ = false;
};

} // namespace

void App::Dateiherstellung_Click() {
    LinkFlag = false;
    c.erklaminus.visible = c.erklaplus.visible = c.Label5.visible = c.Text1.visible = false;
    c.inidat.fore = colors::black;
    c.inidat.bold = false;
    c.inidat.fontSize = 8;
    LockedButtons locked({&c.Startknopf, &c.Command1, &c.Dateiherstellung, &c.Capellanotenwandeln,
                          &c.Capellanotenwandeln2, &c.Midiwandeln, &c.Midiwandeln2, &c.TonfexCap, &c.Command4, &c.Kurzubersicht,
                          &c.Ubersicht, &c.Command2, &c.Command8, &c.Command3, &c.Command5,
                          &c.Command9, &c.Command6, &c.Command7, &c.Command10,
                          &c.Ubersicht_Notenschreiben});
    c.Dateiherstellung.back = colors::green;

    Initial();
    CommandSeed seed(platform.random, s.ZUFALLSSTART);
    applyPatternButtons(s, c);
    c.Daten.visible = c.Zuordnung.visible = true;
    c.List2.width = 3525;
    List2Gross = false;
    c.inidat.height = reducedHeight;
    InidatGross = false;
    c.Reaperstart.back = colors::lightGrey;

    c.Daten.clear();
    c.Daten.fore = c.Text1.fore = colors::darkGreen;
    c.Daten.bold = true;
    c.Daten.fontSize = 12;
    c.Daten.add("");
    c.txtNot.setText("");
    c.Text5.setText("");
    c.Zuordnung.clear();

    double sound = s.sound();
    if (sound == 2 || sound == 3 || sound == 4) {
        if (sound == 2) {
            HCLeser();
        } else {
            Katalogleser();
        }
        Katalogliste();
        c.txtNot.setText("SAMPLER");
        c.Text5.setText("");
        Verzoegerung(0.9);
        showModeControls(c, true);
    }
    // The play reads the duration list and the project writer its template heads only after
    // the new melody has replaced Tonfex.txt: a missing one stops before the old melody goes.
    DauernLesen(folder.path(names::durations));
    if (sound == 2 || sound == 3 || sound == 4)
        requireTemplateHeads(platform.files, platform.dialogs, folder);
    Regelname.clear();
    if (sound == 1) {
        c.txtNot.setText("WAVETABLE");
        Verzoegerung(0.9);
        showModeControls(c, false);
    }

    double tfm = s.tfm();
    bool ruleRan = true;
    if (tfm == 0.1 || tfm == 0.2)
        Testmodus();
    else if (tfm == 1)
        Regel01();
    else if (tfm == 2)
        Regel02();
    else if (tfm > 2)
        Randi06();
    else
        ruleRan = false;

    if (!ruleRan) {
        locked.set(true);
        c.Dateiherstellung.back = colors::lightYellow;
        platform.dialogs.tell("FEHLER", "Für TONFINDUNGSMETHODE " + s.TONFINDUNGSMETHODE +
                                            " gibt es keine Regel (TFm).");
        throw CommandEnd();
    }
    // The seed that makes this melody again when written into ZUFALLSSTART.
    if (platform.random.seed() != 0)
        c.Daten.add("Zufallsstart: " + plainText(static_cast<long long>(platform.random.seed())));
    Schreib(melody, s, platform.files, platform.dialogs, folder);
    Startknopf_Click();
    c.Command1.enabled = true;
}

void App::Testmodus() {
    Regelname = "T E S T";
    c.txtNot.setText(Regelname);
    Verzoegerung(0.7);
    melody.erase();
    if (s.TRACKZAHL == 1) s.AUTOPAN = 0;
    s.TIEFTON = 1;
    s.HOCHTON = Samplezahl;
    s.STARTTON = 1;
    s.toneCount = toInt16(Samplezahl);
    c.Text1.visible = true;
    int i = 0;
    while (i < s.toneCount && Versuche != 10000) {
        ++i;
        melody.Tonhoehe[static_cast<size_t>(i)] = static_cast<std::int16_t>(i);
        melody.Lautstaerke[static_cast<size_t>(i)] = 127;
        melody.Tondauer[static_cast<size_t>(i)] = 3000;
        c.Text1.setText("Ton " + plainText(i) + " von " + plainText(s.toneCount));
    }
    melody.Tonzahl = static_cast<std::int16_t>(i);
    c.Text1.visible = false;
}

void App::enableAfterPlay() {
    for (Button* b : playButtons(c))
        b->enabled = true;
}

void App::Startknopf_Click() {
    LockedButtons locked(playButtons(c));
    c.erklaminus.visible = c.erklaplus.visible = c.Label5.visible = c.Text1.visible = false;
    c.Daten.visible = c.Zuordnung.visible = true;
    c.Startknopf.back = colors::green;
    c.Dateiherstellung.back = colors::lightYellow;

    LinkFlag = false;
    Initial();
    CommandSeed seed(platform.random, s.ZUFALLSSTART);
    playStartedAt = platform.clock.monotonic();
    MidiAllOff();
    PlayStarted = true;
    stopPressed = false;
    c.Daten.fore = colors::darkGreen;
    c.Daten.bold = false;
    c.Daten.fontSize = 8;
    DauernLesen(folder.path(names::durations));
    Neuton();
    enableAfterPlay();
    c.Startknopf.back = colors::lightYellow;
}

void App::DauernLesen(const std::filesystem::path& path) {
    const std::string fileText = utf8FromPath(path);
    // Only a line's leading number counts; the list is taken whole or not at all.
    LineReader lines = openLinesOrFail(platform.files, platform.dialogs, path, fileText, 4096);
    std::vector<double> values;
    for (std::string line; lines.next(line);) {
        if (values.size() == 32767)
            failCommand(platform.dialogs,
                        "Die Tondauernliste " + fileText + " hat mehr als 32767 Zeilen.");
        values.push_back(numericPrefix(line));
    }
    if (lines.failed()) failMissing(platform.dialogs, path, fileText);
    // Entries past the end of a shorter list keep the values a longer one left.
    for (size_t k = 0; k < values.size(); ++k)
        DTC[k + 1] = values[k];
}

void App::Neuton() {
    melody.erasePitches();
    double sound = s.sound();
    if (sound == 1) {
        double autopan = numericPrefix(IniWert(ini, "AUTOPAN"));
        s.AUTOPAN = autopan > 0 ? toInt32(autopan) : 0;
        double tracks = numericPrefix(IniWert(ini, "TRACKZAHL"));
        s.TRACKZAHL = tracks > 0 && tracks < 8 ? toInt32(tracks) : 8;
        if (s.TRACKZAHL == 1) s.AUTOPAN = 0;
    }
    if (sound == 2) {
        HCLeser();
        c.txtNot.setText(Regelname.empty() ? "SAMPLER" : Regelname);
        c.Text5.setText("");
        Verzoegerung(Regelname.empty() ? 0.9 : 0.3);
        showModeControls(c, true);
    } else if (sound == 3 || sound == 4) {
        Katalogleser();
        Katalogliste();
        c.txtNot.setText("SAMPLER");
        c.Text5.setText("");
        Verzoegerung(0.9);
        showModeControls(c, true);
    } else if (sound == 1) {
        c.txtNot.setText(Regelname.empty() ? "WAVETABLE" : Regelname);
        Verzoegerung(Regelname.empty() ? 0.9 : 0.3);
        showModeControls(c, false);
    }

    auto rows = readToneFile(platform.files, platform.dialogs, folder.path(names::melody),
                             folder.text(names::melody), Reader::Player, sound == 1, decimal);
    for (size_t r = 0; r < rows.size(); ++r) {
        size_t i = r + 1;
        melody.Tonhoehe[i] = rows[r].pitch;
        melody.Lautstaerke[i] = rows[r].volume;
        if (s.TONDAUERDIREKT != 0) {
            melody.Tondauer[i] = parseLocale(rows[r].durationText, decimal);
        } else {
            std::int32_t index = toInt32(rows[r].durationValue);
            if (index > 100000)
                failCommand(platform.dialogs, "Die Tondauer " + rows[r].durationText + " in " +
                                                  folder.text(names::melody) +
                                                  " ist keine Nummer der Tondauernliste "
                                                  "(höchstens 100000).");
            melody.Tondauer[i] = index >= 0 ? DTC[static_cast<size_t>(index)] : 0.0;
        }
    }
    tonesRead = static_cast<int>(rows.size());

    if (sound == 1)
        Spielschleife();
    else if (sound == 2 || sound == 3 || sound == 4)
        Projektschreiber();
}

} // namespace tonfex
