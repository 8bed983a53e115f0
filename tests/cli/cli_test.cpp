#include "cli/cli.h"
#include "core/textfile.h"
#include "settings/template.h"
#include "support.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace tonfex;

namespace {
struct CliRun {
    int status;
    std::string out;
};
CliRun run(std::vector<std::string> args, const std::string& input = "", bool terminal = false) {
    std::ostringstream out;
    std::istringstream in(input);
    Terminal t{out, in, terminal, false};
    int status = runCli(args, t);
    return {status, out.str()};
}
} // namespace

TEST(Cli, IniOnAMissingFolderCreatesTheTemplate) {
    testkit::TempFolder tmp;
    auto dir = tmp / "neu";
    CliRun r = run({"--arbeit", dir.string(), "ini", "--ja"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(testkit::readBytes(dir / "Tonfex.ini"), encodeLines(settingsTemplate()));
    EXPECT_NE(r.out.find("\n  SAMPLER mit Tonfex-HCR.rpp (Snd)\n"), std::string::npos) << r.out;
}

TEST(Cli, RuleWithoutMatchExitsOneAndKeepsTheMelody) {
    testkit::TempFolder tmp;
    auto lines = settingsTemplate();
    lines[3] = "TONFINDUNGSMETHODE 1.5  (TFm)";
    lines[4] = "SOUND     1           (Snd)";
    std::filesystem::create_directories(tmp.dir());
    testkit::writeBytes(tmp / "Tonfex.ini", encodeLines(lines));
    testkit::writeBytes(tmp / "Tonfex.txt", "60 100 4\r\n");
    CliRun r = run({"neu", "--arbeit=" + tmp.dir().string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("[FEHLER] Für TONFINDUNGSMETHODE 1.5 gibt es keine Regel (TFm)."),
              std::string::npos)
        << r.out;
    EXPECT_EQ(testkit::readBytes(tmp / "Tonfex.txt"), "60 100 4\r\n");
}

TEST(Cli, QuestionsAnsweredByOptionOrTerminalOrNo) {
    testkit::TempFolder tmp;
    auto lines = settingsTemplate();
    lines[4] = "SOUND     1           (Snd)";
    testkit::writeBytes(tmp / "Tonfex.ini", encodeLines(lines));
    // The play reads the melody file: a volume of 300 asks.
    testkit::writeBytes(tmp / "Tonfex.txt", "60 300 4\r\n");
    auto play = [&](std::vector<std::string> extra, const std::string& input, bool terminal) {
        std::vector<std::string> args{"--arbeit", tmp.dir().string(), "play"};
        args.insert(args.end(), extra.begin(), extra.end());
        return run(args, input, terminal);
    };
    const std::string question =
        "[FEHLER] Wert für LT größer 127 eingelesen! ...300... (Fehler in Tonfex.txt) - weiter? "
        "(Ja/Nein) ";
    CliRun none = play({}, "j\n", false); // no terminal: No
    EXPECT_EQ(none.status, 1);
    EXPECT_NE(none.out.find(question + "Nein\nProgramm beendet."), std::string::npos) << none.out;
    CliRun yes = play({"--ja"}, "", false);
    EXPECT_EQ(yes.status, 0);
    EXPECT_NE(yes.out.find(question + "Ja\n"), std::string::npos) << yes.out;
    CliRun no = play({"--nein"}, "j\n", true);
    EXPECT_EQ(no.status, 1);
    CliRun typed = play({}, "ja\n", true);
    EXPECT_EQ(typed.status, 0);
    EXPECT_NE(typed.out.find(question + "Ja\n"), std::string::npos);
    CliRun typedNo = play({}, "n\n", true);
    EXPECT_EQ(typedNo.status, 1);
    EXPECT_EQ(testkit::readBytes(tmp / "Tonfex.txt"), "60 300 4\r\n");
}

TEST(Cli, UsageErrorsExitTwoAndHelpListsTheVerbs) {
    EXPECT_EQ(run({"gibtsnicht"}).status, 2);
    EXPECT_EQ(run({"--ja", "--nein", "ini"}).status, 2);
    EXPECT_EQ(run({"ini", "--arbeit"}).status, 2);
    EXPECT_EQ(run({"--unbekannt", "ini"}).status, 2);
    CliRun help = run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("  neu "), std::string::npos);
    EXPECT_NE(help.out.find("  ini "), std::string::npos);
}

TEST(Cli, OptionsBeforeOrAfterTheVerb) {
    CliOptions a, b;
    EXPECT_EQ(parseArguments({"--arbeit", "X", "--nein", "load", "3"}, a), "");
    EXPECT_EQ(parseArguments({"load", "3", "--nein", "--arbeit=X"}, b), "");
    for (const auto& o : {a, b}) {
        EXPECT_EQ(o.folder, "X");
        EXPECT_EQ(o.answers, AnswerMode::No);
        EXPECT_EQ(o.verb, "load");
        EXPECT_EQ(o.arguments, std::vector<std::string>{"3"});
    }
}
