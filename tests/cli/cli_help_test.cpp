#include "cli/cli.h"
#include "core/textfile.h"
#include "platform/real.h"
#include "support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

using namespace tonfex;

namespace {
struct CliRun {
    int status;
    std::string out;
};
CliRun run(const testkit::TempFolder& tmp, std::vector<std::string> args) {
    args.insert(args.begin(), {"--arbeit", tmp.dir().string()});
    std::ostringstream out;
    std::istringstream in;
    Terminal t{out, in, false, false};
    int status = runCli(args, t);
    return {status, out.str()};
}
} // namespace

TEST(CliHelp, IniPrintsTheWholeSummary) {
    testkit::TempFolder tmp;
    CliRun r = run(tmp, {"ini"});
    EXPECT_EQ(r.status, 0);
    const std::string first = "\n  SAMPLER mit Tonfex-HCR.rpp (Snd)\n";
    const std::string last = "\n\n  Verzögerungsfaktor 10 (Vzg)\n";
    ASSERT_EQ(r.out.find(first), 0u) << r.out;
    EXPECT_EQ(r.out.size() - r.out.rfind(last), last.size());
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 31);
}

TEST(CliHelp, StoreThenLoadByLineNumber) {
    testkit::TempFolder tmp;
    run(tmp, {"ini"});
    for (const char* name : {"Tonfex-HCR.rpp", "Tonfex-01.cap", "Tonfex-02.cap"})
        testkit::writeBytes(tmp / name, name);
    CliRun none = run(tmp, {"load"});
    EXPECT_EQ(none.out, "Auswahl: (leer)\n");
    CliRun stored = run(tmp, {"store", "--ja"});
    EXPECT_EQ(stored.status, 0);
    // The clipboard's four lines are shown one below the other.
    EXPECT_EQ(std::count(stored.out.begin(), stored.out.end(), '\n'), 5) << stored.out;
    DiskFiles files;
    auto log = readTextLines(files, tmp / "Tonfex-Doku.txt");
    ASSERT_TRUE(log && log->size() == 1u);
    CliRun listed = run(tmp, {"load"});
    EXPECT_EQ(listed.out, "Auswahl:\n  1  " + (*log)[0] + "\n");

    CliRun loaded = run(tmp, {"load", "1"});
    EXPECT_EQ(loaded.status, 0);
    EXPECT_NE(loaded.out.find("  wurden verändert.\n"), std::string::npos);
    EXPECT_NE(loaded.out.find("[Tonfex] weiter?\n\n  SAMPLER"), std::string::npos) << loaded.out;
    EXPECT_NE(loaded.out.find("List2 (Tonfex-Proginfo.txt):\n"), std::string::npos);
    EXPECT_NE(loaded.out.find("Zuletzt geladenes Preset: " + (*log)[0]), std::string::npos);

    EXPECT_EQ(run(tmp, {"load", "2"}).status, 1);
    EXPECT_EQ(run(tmp, {"load", "x"}).status, 1);
}

TEST(CliHelp, PagesAndSamplemix) {
    testkit::TempFolder tmp;
    CliRun page = run(tmp, {"regel", "4"});
    EXPECT_EQ(page.status, 0);
    EXPECT_EQ(page.out.rfind("\n  Erläuterung der Regel 04:\n", 0), 0u) << page.out;
    EXPECT_EQ(run(tmp, {"regel", "7"}).status, 1);
    testkit::writeBytes(tmp / "Tonfex.ini", "TONFINDUNGSMETHODE 0.2\r\n");
    EXPECT_EQ(run(tmp, {"regel", "0"}).out.rfind("\n  Erläuterung des Testmodus:\n", 0), 0u);
    CliRun notes = run(tmp, {"e-nk"});
    EXPECT_NE(notes.out.find("  Keine Taktstriche (TKT)\n"), std::string::npos);
    CliRun no = run(tmp, {"sm", "--nein"});
    EXPECT_EQ(no.out, "[Frage zur Sicherheit] wirklich Samplemix? (Tonfex.ini wird dann "
                      "verändert)? (Ja/Nein) Nein\n");
    CliRun yes = run(tmp, {"sm", "--ja"});
    EXPECT_NE(yes.out.find("\n  SAMPLEMIX\n"), std::string::npos);
    EXPECT_NE(yes.out.find("Es wurde Samplemix durchgeführt\n"), std::string::npos);
}
