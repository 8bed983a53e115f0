#include "fixture.h"

#include "core/errors.h"

using namespace tonfex;
using tonfex::testkit::AppTest;

TEST_F(AppTest, SummaryLineLinksToItsSettingAndALineWithoutOneTogglesTheSize) {
    app.Form_Load();
    app.Kurzubersicht_Click();
    const auto shown = app.c.inidat.lines();
    auto at = [&](const std::string& line) {
        return static_cast<int>(std::find(shown.begin(), shown.end(), line) - shown.begin());
    };
    app.inidat_Click(at("  SAMPLER mit Tonfex-HCR.rpp (Snd)"));
    EXPECT_EQ(tp.clipboard.text, "Snd");
    ASSERT_EQ(tp.programs.starts.size(), 1u);
    EXPECT_EQ(tp.programs.starts[0].command.line,
              "C:\\Arbeit\\Editor-K\\NoteTab.exe  " + app.folder.text("Tonfex.ini"));
    EXPECT_TRUE(tp.programs.starts[0].minimized && app.LinkFlag);

    // The line without a setting toggles the size and shows the settings file instead.
    app.inidat_Click(at("  Deshalb kein Autopan"));
    EXPECT_EQ(tp.programs.starts.size(), 1u);
    EXPECT_FALSE(app.LinkFlag || app.InidatGross);
    EXPECT_TRUE(app.c.Daten.visible && app.c.Zuordnung.visible);
    EXPECT_EQ(app.c.inidat.lines(), settingsTemplate());
    app.inidat_Click(0); // without the summary flag: toggle back
    EXPECT_TRUE(app.InidatGross && !app.c.Daten.visible);
}

// (The settings file a new folder gets, byte for byte: cli_test, through the same writer.)
TEST_F(AppTest, TheDefaultDurationListIsWrittenAsItStandsAndRises) {
    const auto& d = defaultDurationList();
    EXPECT_EQ(encodeLines(d), file("Tonfex-DTC.txt"));
    for (size_t i = 1; i < d.size(); ++i)
        EXPECT_LT(std::stod(d[i - 1]), std::stod(d[i]));
}

TEST_F(AppTest, AFolderInUseKeepsAGapUntilVorgabenFillsIt) {
    // New to the program: missing, empty or holding other files only.
    const testkit::TempFolder other;
    EXPECT_TRUE(isNewWorkFolder(tp.files, WorkFolder{other / "fehlt"}));
    EXPECT_TRUE(isNewWorkFolder(tp.files, other.folder()));
    testkit::writeBytes(other / "Brief.txt", "x");
    EXPECT_TRUE(isNewWorkFolder(tp.files, other.folder()));
    testkit::writeBytes(other / "Tonfex-Cap-02.txt", "60 100 4\r\n");
    EXPECT_FALSE(isNewWorkFolder(tp.files, other.folder()));
    EXPECT_EQ(ensureWorkFolder(tp.files, other.folder()), "");
    EXPECT_FALSE(std::filesystem::exists(other / "Tonfex.ini"));

    // Every file a new folder starts with (each text one named as a default, each WAV file and
    // the picture) is left missing by a start and written again, byte for byte, by "vorgaben".
    std::vector<std::pair<std::filesystem::path, std::string>> removed;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(tmp.dir())) {
        if (!entry.is_regular_file()) continue;
        const auto& p = entry.path();
        EXPECT_TRUE(names::isDefault(p.filename().string()) || p.extension() == ".wav" ||
                    p == overviewPicturePath(app.folder, hostOs()))
            << p;
        removed.emplace_back(p, testkit::readBytes(p));
    }
    std::vector<std::string> expected;
    for (const auto& [p, bytes] : removed)
        std::filesystem::remove(p), expected.push_back("Geschrieben: " + p.string());
    EXPECT_EQ(removed.size(), 11u + 13u + 1u);
    testkit::writeBytes(tmp / "Tonfex-Cap-PT.txt", "mine"); // one file keeps the folder in use
    EXPECT_EQ(ensureWorkFolder(tp.files, tmp.folder()), "");
    EXPECT_FALSE(std::filesystem::exists(tmp / "Tonfex.ini"));
    // Without the settings file the window's start ends with the message and its hint.
    EXPECT_THROW(app.Form_Load(), CommandEnd);
    EXPECT_EQ(said(),
              "FEHLER: " + app.folder.text("Tonfex.ini") +
                  " ist nicht vorhanden! „tonfex vorgaben“ schreibt die fehlenden Vorgaben.");
    tp.dialogs.records.clear();

    app.VorgabenSchreiben();
    std::erase(expected, "Geschrieben: " + (tmp / "Tonfex-Cap-PT.txt").string());
    auto listed = app.c.Daten.lines();
    std::sort(listed.begin(), listed.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(listed, expected);
    for (const auto& [p, bytes] : removed)
        EXPECT_EQ(testkit::readBytes(p), p.filename() == "Tonfex-Cap-PT.txt" ? "mine" : bytes) << p;
    app.VorgabenSchreiben();
    EXPECT_EQ(
        app.c.Daten.lines(),
        std::vector<std::string>{"Alle Vorgaben sind vorhanden; es wurde nichts geschrieben."});
    EXPECT_TRUE(tp.dialogs.records.empty());
}
