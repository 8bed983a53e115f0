#include "fixture.h"

#include "core/errors.h"

using namespace tonfex;
using tonfex::testkit::AppTest;
using Lines = std::vector<std::string>;

namespace {
struct PresetTest : AppTest {
    const std::string samples = "<REAPER_PROJECT samples>\r\n";
    PresetTest() {
        testkit::writeBytes(tmp / "Tonfex-HCR.rpp", samples);
        testkit::writeBytes(tmp / "Tonfex-01.cap", "score one");
        testkit::writeBytes(tmp / "Tonfex-02.cap", "score two");
        app.Form_Load();
    }
    std::string path(const std::string& name) { return app.folder.text(name); }
    void store() {
        tp.dialogs.answers = {true};
        app.Speichern_Click();
    }
    Lines lines(const std::string& name) {
        return readTextLines(tp.files, tmp / name).value_or(Lines{});
    }
    bool exists(const std::string& name) { return std::filesystem::exists(tmp / name); }
    void remove(std::initializer_list<const char*> names) {
        for (const char* name : names)
            std::filesystem::remove(tmp / name);
    }
};
} // namespace

TEST_F(PresetTest, StoreCopiesFourFilesLogsAndFillsTheClipboard) {
    const std::string ini = file("Tonfex.ini");
    store();
    EXPECT_EQ(testkit::texts(tp.dialogs), Lines{"die aktuellen Einstellungen wirklich speichern?"});
    EXPECT_EQ((Lines{file("Tonfex-030327-0905-07.ini"), file("Tonfex-HCR-030327-0905-07.rpp"),
                     file("Tonfex-01-030327-0905-07.cap"), file("Tonfex-02-030327-0905-07.cap")}),
              (Lines{ini, samples, "score one", "score two"}));
    EXPECT_EQ(file("Tonfex-Doku.txt"), path("Tonfex-030327-0905-07.ini") + "\r\n");
    EXPECT_EQ(
        tp.clipboard.text + "\r\n",
        encodeLines({path("Tonfex-030327-0905-07.ini"), path("Tonfex-HCR-030327-0905-07.rpp"),
                     path("Tonfex-01-030327-0905-07.cap"), path("Tonfex-02-030327-0905-07.cap")}));

    // The same second again overwrites the copies and logs the same name twice.
    store();
    EXPECT_EQ(lines("Tonfex-Doku.txt"), Lines(2, path("Tonfex-030327-0905-07.ini")));
    tp.clock.time = {2026, 12, 5, 17, 6, 4};
    store();
    EXPECT_EQ(lines("Tonfex-Doku.txt").back(), path("Tonfex-051226-1706-04.ini"));

    // No keeps everything as it is.
    tp.dialogs.answers = {false};
    tp.clock.time.second = 5;
    EXPECT_THROW(app.Speichern_Click(), CommandEnd);
    EXPECT_FALSE(exists("Tonfex-051226-1706-05.ini") || lines("Tonfex-Doku.txt").size() != 3);
}

TEST_F(PresetTest, StoreWithMissingFilesSavesTheRestAndNamesTheMissing) {
    // A new folder has no scores yet: settings and samples make the preset, with a notice.
    remove({"Tonfex-01.cap", "Tonfex-02.cap"});
    store();
    EXPECT_EQ(said(), "Preset: Noch nicht vorhanden und deshalb nicht im Preset:\n" +
                          path("Tonfex-01.cap") + "\n" + path("Tonfex-02.cap"));
    EXPECT_EQ(tp.clipboard.text,
              path("Tonfex-030327-0905-07.ini") + "\r\n" + path("Tonfex-HCR-030327-0905-07.rpp"));
    EXPECT_EQ(lines("Tonfex-Doku.txt"), Lines{path("Tonfex-030327-0905-07.ini")});
    // Loading it keeps the working scores.
    testkit::writeBytes(tmp / "Tonfex-01.cap", "score one");
    testkit::writeBytes(tmp / "Tonfex-HCR.rpp", "changed");
    app.Load_Click();
    app.Lini_Click(0);
    EXPECT_EQ(file("Tonfex-HCR.rpp") + file("Tonfex-01.cap"), samples + "score one");
    EXPECT_FALSE(exists("Tonfex-02.cap"));

    // A missing sample project is an error; the score is named as before.
    remove({"Tonfex-HCR.rpp", "Tonfex-Doku.txt"});
    tp.clock.time.second = 6;
    tp.dialogs.records.clear();
    tp.dialogs.answers = {true};
    EXPECT_THROW(app.Speichern_Click(), CommandEnd);
    EXPECT_TRUE(exists("Tonfex-030327-0905-06.ini") && exists("Tonfex-01-030327-0905-06.cap"));
    EXPECT_EQ(lines("Tonfex-Doku.txt").size(), 1u);
    EXPECT_EQ(testkit::texts(tp.dialogs),
              (Lines{"die aktuellen Einstellungen wirklich speichern?",
                     "Noch nicht vorhanden und deshalb nicht im Preset:\n" + path("Tonfex-02.cap"),
                     "Nicht vorhanden und deshalb nicht gespeichert:\n" + path("Tonfex-HCR.rpp")}));

    // Without the settings file there is no preset to load: nothing is logged.
    remove({"Tonfex.ini", "Tonfex-Doku.txt"});
    tp.clock.time.second = 8;
    tp.dialogs.answers = {true};
    EXPECT_THROW(app.Speichern_Click(), CommandEnd);
    EXPECT_FALSE(exists("Tonfex-Doku.txt"));
    EXPECT_EQ(tp.clipboard.text, path("Tonfex-01-030327-0905-08.cap"));
}

TEST_F(PresetTest, LoadShowsTheLogAndAChoiceRestoresThePresetWithOrWithoutScores) {
    // No log yet: an empty chooser, no message.
    app.Load_Click();
    EXPECT_TRUE(app.c.linienVisible && app.c.Lini.count() == 0 && tp.dialogs.records.empty());

    settings("SOUND 1");
    store();
    const std::string stored = file("Tonfex.ini");
    settings("SOUND 3");
    testkit::writeBytes(tmp / "Tonfex-HCR.rpp", "changed");
    testkit::writeBytes(tmp / "Tonfex-01.cap", "changed");
    const auto descriptionBefore = lines("Tonfex-Proginfo.txt");

    app.Load_Click();
    ASSERT_EQ(app.c.Lini.lines(), Lines{path("Tonfex-030327-0905-07.ini")});
    tp.clock.time.minute = 30;
    tp.dialogs.records.clear();
    app.Lini_Click(0);
    EXPECT_FALSE(app.c.linienVisible);
    EXPECT_EQ((Lines{file("Tonfex.ini"), file("Tonfex-HCR.rpp"), file("Tonfex-01.cap")}),
              (Lines{stored, samples, "score one"}));
    auto description = descriptionBefore;
    description.insert(description.end(),
                       {"", "Zuletzt geladenes Preset: " + path("Tonfex-030327-0905-07.ini"),
                        "am 03.03.2027 um 09:30:07 Uhr"});
    EXPECT_EQ(lines("Tonfex-Proginfo.txt"), description);
    EXPECT_EQ(app.c.List2.lines(), description);
    // The summary of the loaded settings, after the red notice and its message.
    EXPECT_EQ(testkit::texts(tp.dialogs), Lines{"weiter?"});
    EXPECT_EQ(app.c.inidat.lines()[1], "  MIDI mit Wavetable (Snd)");
    EXPECT_FALSE(app.PresetGeladen);

    // A preset without its scores loads the settings and the samples only.
    remove({"Tonfex-01-030327-0905-07.cap", "Tonfex-02-030327-0905-07.cap"});
    testkit::writeBytes(tmp / "Tonfex-HCR.rpp", "changed");
    testkit::writeBytes(tmp / "Tonfex-01.cap", "kept");
    const std::string noted = file("Tonfex-Proginfo.txt");
    app.Load_Click();
    app.Lini_Click(0);
    EXPECT_EQ((Lines{file("Tonfex-HCR.rpp"), file("Tonfex-01.cap"), file("Tonfex-Proginfo.txt")}),
              (Lines{samples, "kept", noted})); // and no note in the description
    EXPECT_EQ(tp.dialogs.records.back().text, "weiter?");
}

TEST_F(PresetTest, HostileOrBrokenChooserLinesLoadNothing) {
    store();
    std::filesystem::create_directories(tmp / "andere");
    testkit::writeBytes(tmp / "andere" / "Tonfex-1.ini", "SOUND 1\r\n");
    testkit::writeBytes(tmp / "andere" / "Tonfex-HCR-1.rpp", "other");
    testkit::writeBytes(
        tmp / "Tonfex-Doku.txt",
        encodeLines({"", path("Tonfex-../andere/Tonfex-1.ini"),
                     (tmp / "andere" / "Tonfex-1.ini").string(), path("Tonfex-andere/Tonfex-1.ini"),
                     path("Tonfex-999.ini"), "C:\\Windows\\win.ini"}));
    testkit::writeBytes(tmp / "Tonfex-777.ini", "SOUND 1\r\n"); // no sample project stored
    const std::string ini = file("Tonfex.ini");
    app.Load_Click();
    app.c.Lini.add(path("Tonfex-777.ini"));
    Lines messages;
    for (int i = 0; i < app.c.Lini.count() + 1; ++i) {
        tp.dialogs.records.clear();
        EXPECT_THROW(app.Lini_Click(i), CommandEnd) << i;
        EXPECT_EQ(tp.dialogs.records.size(), 1u);
        EXPECT_TRUE(said().starts_with("FEHLER: ") && said().ends_with(" nichts geladen."));
        EXPECT_EQ(file("Tonfex.ini") + file("Tonfex-HCR.rpp"), ini + samples);
        EXPECT_FALSE(app.PresetGeladen);
        messages.push_back(said());
    }
    EXPECT_EQ(messages[0], "FEHLER: Die gewählte Zeile ist leer. Es wurde nichts geladen.");
    EXPECT_TRUE(testkit::has(messages[1], "nennt keine gespeicherte Einstellungsdatei"));
    EXPECT_TRUE(testkit::has(messages[4], "Tonfex-999.ini ist nicht vorhanden"));
    EXPECT_TRUE(testkit::has(messages[6], "Tonfex-HCR-777.rpp ist nicht vorhanden"));
}

TEST_F(PresetTest, ParkingSlot) {
    app.parkSampleProject();
    EXPECT_EQ(file("HHHHH.rpp"), samples);
    EXPECT_THROW(app.parkProject(), CommandEnd); // no Tonfex.rpp written yet
    EXPECT_EQ(tp.dialogs.records.back().text,
              path("Tonfex.rpp") + " ist nicht vorhanden. Es wurde nichts kopiert.");
    testkit::writeBytes(tmp / "Tonfex.rpp", "melody project");
    app.parkProject();
    EXPECT_EQ(file("HHHHH.rpp"), "melody project");

    tp.dialogs.answers = {false};
    EXPECT_THROW(app.restoreSampleProject(), CommandEnd);
    EXPECT_EQ(file("Tonfex-HCR.rpp"), samples);
    tp.dialogs.answers = {true};
    app.restoreSampleProject();
    EXPECT_EQ(file("Tonfex-HCR.rpp"), "melody project");
}

TEST_F(PresetTest, SamplemixWritesTheTemplateAndNotesIt) {
    settings("SOUND 1, TEMPO 3");
    const std::string description = file("Tonfex-Proginfo.txt");
    const std::string changed = file("Tonfex.ini");
    tp.dialogs.answers = {false}; // (the question's text: cli_help_test)
    EXPECT_THROW(app.Samplemix_Click(), CommandEnd);
    EXPECT_EQ(file("Tonfex-Proginfo.txt") + file("Tonfex.ini"), description + changed);
    tp.dialogs.records.clear();
    tp.dialogs.answers = {true};
    app.Samplemix_Click();
    EXPECT_EQ(file("Tonfex.ini"), testkit::readBytes(TONFEX_TEST_DATA "/settings/Tonfex.ini"));
    EXPECT_EQ(std::pair(app.s.sound(), app.s.TEMPO), std::pair(3.0, 1.0f));
    EXPECT_EQ(file("Tonfex-Proginfo.txt"),
              description + encodeLines({"", "Es wurde Samplemix durchgeführt",
                                         "am 03.03.2027 um 09:05:07 Uhr"}));
    EXPECT_EQ(app.c.List2.lines(), lines("Tonfex-Proginfo.txt"));
    EXPECT_EQ(testkit::texts(tp.dialogs).size(), 2u); // the question and the red notice
    EXPECT_FALSE(app.SamplemixFlag);
    EXPECT_EQ(app.c.inidat.lines()[1], "  SAMPLER mit Tonfex-HCR.rpp (Snd)");

    // A missing program description is created with the note alone.
    remove({"Tonfex-Proginfo.txt"});
    app.Samplemix_Click();
    EXPECT_EQ(lines("Tonfex-Proginfo.txt").size(), 3u);
}
