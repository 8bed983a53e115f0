#include "cli_kit.h"
#include "platform/real.h"

#include <algorithm>

using namespace tonfex;
using testkit::cliIn;
using testkit::CliRun;

TEST(CliHelp, StoreThenLoadByLineNumber) {
    testkit::TempFolder tmp;
    cliIn(tmp, {"ini"});
    for (const char* name : {"Tonfex-HCR.rpp", "Tonfex-01.cap", "Tonfex-02.cap"})
        testkit::writeBytes(tmp / name, name);
    EXPECT_EQ(cliIn(tmp, {"load"}).out, "Auswahl: (leer)\n");
    CliRun stored = cliIn(tmp, {"store", "--ja"});
    // The clipboard's four lines are shown one below the other.
    EXPECT_EQ(std::count(stored.out.begin(), stored.out.end(), '\n'), 5) << stored.out;
    DiskFiles files;
    auto log = readTextLines(files, tmp / "Tonfex-Doku.txt");
    ASSERT_TRUE(log && log->size() == 1u);
    EXPECT_EQ(cliIn(tmp, {"load"}).out, "Auswahl:\n  1  " + (*log)[0] + "\n");

    CliRun loaded = cliIn(tmp, {"load", "1"});
    EXPECT_EQ(loaded.status, 0);
    EXPECT_NE(loaded.out.find("[Tonfex] weiter?\n\n  SAMPLER"), std::string::npos) << loaded.out;
    EXPECT_NE(loaded.out.find("List2 (Tonfex-Proginfo.txt):\n"), std::string::npos);
    EXPECT_NE(loaded.out.find("Zuletzt geladenes Preset: " + (*log)[0]), std::string::npos);

    EXPECT_EQ(cliIn(tmp, {"load", "2"}).status, 1);
}

TEST(CliHelp, PagesAndSamplemix) {
    testkit::TempFolder tmp;
    EXPECT_EQ(cliIn(tmp, {"regel", "4"}).out.rfind("\n  Erläuterung der Regel 04:\n", 0), 0u);
    testkit::writeBytes(tmp / "Tonfex.ini", "TONFINDUNGSMETHODE 0.2\r\n");
    EXPECT_EQ(cliIn(tmp, {"regel", "0"}).out.rfind("\n  Erläuterung des Testmodus:\n", 0), 0u);
    EXPECT_EQ(cliIn(tmp, {"neue-regel"}).out.rfind("    Anleitung zum Einbau neuer Regeln.\n", 0),
              0u);
    EXPECT_NE(cliIn(tmp, {"e-nk"}).out.find("  Keine Taktstriche (TKT)\n"), std::string::npos);
    EXPECT_EQ(cliIn(tmp, {"sm", "--nein"}).out,
              "[Frage zur Sicherheit] wirklich Samplemix? (Tonfex.ini wird dann "
              "verändert)? (Ja/Nein) Nein\n");
    EXPECT_NE(cliIn(tmp, {"sm", "--ja"}).out.find("\n  SAMPLEMIX\n"), std::string::npos);
}

// The working folder however it is typed (relative, with "." or doubled separators, through a
// link, with a name outside Windows-1252) is one folder: a preset stored in one spelling loads
// in every other.
TEST(CliHelp, OneFolderInEverySpelling) {
    testkit::TempFolder tmp;
    const std::filesystem::path work = tmp.dir() / pathFromUtf8("Arbeit-Ω");
    std::filesystem::create_directories(work);
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(tmp.dir());
    CliRun stored = testkit::cli({"--arbeit", "Arbeit-Ω", "--ja", "store"});
    std::filesystem::current_path(before);
    EXPECT_EQ(stored.status, 0) << stored.out;

    DiskFiles files;
    auto log = readTextLines(files, work / "Tonfex-Doku.txt");
    ASSERT_TRUE(log && log->size() == 1u);
    EXPECT_EQ((*log)[0].rfind(utf8FromPath(work / "Tonfex-"), 0), 0u) << (*log)[0];

    std::vector<std::string> spellings = {utf8FromPath(work), utf8FromPath(work / "."),
                                          utf8FromPath(tmp.dir()) + "//Arbeit-Ω/"};
#ifndef _WIN32
    std::filesystem::create_directory_symlink(work, tmp / "Verweis");
    spellings.push_back(utf8FromPath(tmp / "Verweis"));
#endif
    for (const auto& spelling : spellings) {
        CliRun loaded = testkit::cli({"--arbeit", spelling, "--ja", "load", "1"});
        EXPECT_EQ(loaded.status, 0) << spelling << "\n" << loaded.out;
        EXPECT_NE(loaded.out.find("wurden verändert."), std::string::npos) << spelling;
    }
}
