#include "cli_kit.h"
#include "platform/real.h"

using namespace tonfex;
using testkit::cliIn;
using testkit::has;

TEST(CliHelp, PagesAndSamplemix) {
    testkit::TempFolder tmp;
    EXPECT_EQ(cliIn(tmp, {"regel", "4"}).out.rfind("\n  Erläuterung der Regel 04:\n", 0), 0u);
    testkit::writeBytes(tmp / "Tonfex.ini", "TONFINDUNGSMETHODE 0.2\r\n");
    EXPECT_EQ(cliIn(tmp, {"regel", "0"}).out.rfind("\n  Erläuterung des Testmodus:\n", 0), 0u);
    EXPECT_EQ(cliIn(tmp, {"neue-regel"}).out.rfind("    Anleitung zum Einbau neuer Regeln.\n", 0),
              0u);
    EXPECT_TRUE(has(cliIn(tmp, {"e-nk"}).out, "  Keine Taktstriche (TKT)\n"));
    EXPECT_EQ(cliIn(tmp, {"sm", "--nein"}).out,
              "[Frage zur Sicherheit] wirklich Samplemix? (Tonfex.ini wird dann "
              "verändert)? (Ja/Nein) Nein\n");
    EXPECT_TRUE(has(cliIn(tmp, {"sm", "--ja"}).out, "\n  SAMPLEMIX\n"));
}

// The working folder however it is typed (relative, with "." or doubled separators, through a
// link, with a name outside Windows-1252) is one folder: a preset stored in one spelling loads
// in every other. The first store in a new folder stores without the scores.
TEST(CliHelp, StoreAndLoadByLineNumberInEverySpellingOfTheFolder) {
    testkit::TempFolder tmp;
    const std::filesystem::path work = tmp.dir() / pathFromUtf8("Arbeit-Ω");
    std::filesystem::create_directories(work);
    EXPECT_EQ(testkit::cli({"--arbeit", utf8FromPath(work), "load"}).out, "Auswahl: (leer)\n");
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(tmp.dir());
    testkit::CliRun stored = testkit::cli({"--arbeit", "Arbeit-Ω", "--ja", "store"});
    std::filesystem::current_path(before);
    EXPECT_EQ(stored.status, 0) << stored.out;
    EXPECT_EQ(stored.out.find("FEHLER"), std::string::npos) << stored.out;
    EXPECT_TRUE(has(stored.out, "[Preset] Noch nicht vorhanden und deshalb nicht im Preset:\n" +
                                    utf8FromPath(work / "Tonfex-01.cap") + "\n" +
                                    utf8FromPath(work / "Tonfex-02.cap") + "\n"));
    // With the scores: the clipboard's four lines are shown one below the other.
    for (const char* name : {"Tonfex-01.cap", "Tonfex-02.cap"})
        testkit::writeBytes(work / name, name);
    stored = testkit::cli({"--arbeit", utf8FromPath(work), "--ja", "store"});
    EXPECT_EQ(testkit::occurrences(stored.out, "\n                "), 3u) << stored.out;

    DiskFiles files;
    auto log = readTextLines(files, work / "Tonfex-Doku.txt");
    ASSERT_TRUE(log && log->size() == 2u);
    EXPECT_EQ((*log)[0].rfind(utf8FromPath(work / "Tonfex-"), 0), 0u) << (*log)[0];
    EXPECT_TRUE(has(stored.out, "Zwischenablage: " + (*log)[1] + "\n"));
    EXPECT_EQ(testkit::cli({"--arbeit", utf8FromPath(work), "load"}).out,
              "Auswahl:\n  1  " + (*log)[0] + "\n  2  " + (*log)[1] + "\n");
    EXPECT_EQ(testkit::cli({"--arbeit", utf8FromPath(work), "load", "3"}).status, 1);

    std::vector<std::string> spellings = {utf8FromPath(work), utf8FromPath(work / "."),
                                          utf8FromPath(tmp.dir()) + "//Arbeit-Ω/"};
#ifndef _WIN32
    std::filesystem::create_directory_symlink(work, tmp / "Verweis");
    spellings.push_back(utf8FromPath(tmp / "Verweis"));
#endif
    for (const auto& spelling : spellings) {
        SCOPED_TRACE(spelling);
        testkit::CliRun loaded = testkit::cli({"--arbeit", spelling, "--ja", "load", "2"});
        EXPECT_EQ(loaded.status, 0);
        EXPECT_TRUE(has(loaded.out, "wurden verändert."));
        EXPECT_TRUE(has(loaded.out, "[Tonfex] weiter?\n\n  SAMPLER"));
        EXPECT_TRUE(has(loaded.out, "List2 (Tonfex-Proginfo.txt):\n"));
        EXPECT_TRUE(has(loaded.out, "Zuletzt geladenes Preset: " + (*log)[1]));
    }
}
