#include "cli_kit.h"

#include "help/help.h"

using namespace tonfex;
using testkit::cli;
using testkit::CliRun;
using testkit::has;

TEST(Cli, IniOnAMissingFolderCreatesTheTemplateAndPrintsTheSummary) {
    testkit::TempFolder tmp;
    auto dir = tmp / "neu";
    CliRun r = cli({"--arbeit", dir.string(), "ini", "--ja"});
    EXPECT_EQ(testkit::readBytes(dir / "Tonfex.ini"),
              testkit::readBytes(TONFEX_TEST_DATA "/settings/Tonfex.ini"));
    EXPECT_EQ(r.out, "\n" + testkit::userDecimals(
                                testkit::readBytes(TONFEX_TEST_DATA "/help/summary-template.txt")));
}

TEST(Cli, QuestionsAnsweredByOptionOrTerminalOrNoAndErrorsExitOne) {
    testkit::TempFolder tmp;
    // The play reads the melody file: a volume of 300 asks.
    testkit::prepare(tmp, {{"SOUND", "1"}}, "60 300 4\r\n");
    auto play = [&](std::vector<std::string> extra, const std::string& input, bool terminal) {
        extra.insert(extra.begin(), "play");
        return testkit::cliIn(tmp, extra, input, terminal);
    };
    const std::string asked =
        "[FEHLER] Wert für LT größer 127 eingelesen! ...300... (Fehler in Tonfex.txt) - weiter? ";
    const std::string question = asked + "(Ja/Nein) ", typed = asked + "(Ja/Nein/Alle) ";
    // No terminal: No; at the terminal a read's question also offers "Ja, alle" (a).
    struct Row {
        std::vector<std::string> options;
        const char* input;
        bool terminal;
        int status;
        std::string shown;
    };
    for (const Row& row :
         {Row{{}, "j\n", false, 1, question + "Nein\nProgramm beendet."},
          Row{{"--ja"}, "", false, 0, question + "Ja\n"},
          Row{{"--nein"}, "j\n", true, 1, question + "Nein\n"},
          Row{{}, "n\n", true, 1, typed + "Nein\n"}, Row{{}, "ja\n", true, 0, typed + "Ja\n"}}) {
        CliRun r = play(row.options, row.input, row.terminal);
        EXPECT_EQ(r.status, row.status) << row.shown;
        EXPECT_TRUE(has(r.out, row.shown));
    }
    EXPECT_EQ(testkit::readBytes(tmp / "Tonfex.txt"), "60 300 4\r\n");
    // "Ja, alle": the rest of the read asks nothing more.
    testkit::prepare(tmp, {{"SOUND", "1"}}, "60 300 4\r\n62 300 4\r\n64 300 4\r\n");
    CliRun all = play({}, "a\nn\n", true);
    EXPECT_EQ(all.status, 0);
    EXPECT_EQ(testkit::occurrences(all.out, "weiter?"), 1u) << all.out;
    EXPECT_TRUE(has(all.out, typed + "Ja, alle\n"));
    EXPECT_EQ(testkit::occurrences(play({"--ja"}, "", false).out, question + "Ja\n"), 3u);

    // A message that ends the command: exit 1, the melody file kept.
    testkit::prepare(tmp, {{"SOUND", "1"}, {"TONFINDUNGSMETHODE", "1.5"}}, "60 100 4\r\n");
    CliRun rule = cli({"neu", "--arbeit=" + tmp.dir().string()});
    EXPECT_EQ(rule.status, 1);
    EXPECT_TRUE(has(
        rule.out,
        testkit::userDecimals("[FEHLER] Für TONFINDUNGSMETHODE 1.5 gibt es keine Regel (TFm).")));
    EXPECT_EQ(testkit::readBytes(tmp / "Tonfex.txt"), "60 100 4\r\n");
}

TEST(Cli, AMissingDefaultEndsTheCommandUntouchedAndVorgabenWritesIt) {
    testkit::TempFolder tmp;
    const std::string melody = "60 100 4\r\n";
    const std::string hint = " „tonfex vorgaben“ schreibt die fehlenden Vorgaben.";
    // A missing pattern stops the rule; the duration list and the project heads are read after
    // the melody is written, and their absence stops the generation before it.
    for (const auto& [values, removed] : std::vector<std::pair<testkit::KeyValues, std::string>>{
             {{{"SOUND", "1"}, {"TONFINDUNGSMETHODE", "4"}}, "Tonfex-Cap-PT.txt"},
             {{{"SOUND", "1"}}, "Tonfex-DTC.txt"},
             {{{"SOUND", "3"}}, "Tonfex-RPP-02"}}) {
        testkit::prepare(tmp, values, melody);
        std::filesystem::remove(tmp / removed);
        CliRun r = testkit::cliIn(tmp, {"neu", "--ja"});
        EXPECT_EQ(r.status, 1) << removed;
        EXPECT_TRUE(has(r.out, removed + " ist nicht vorhanden!"));
        EXPECT_TRUE(r.out.ends_with(hint + "\n")) << r.out;
        EXPECT_EQ(testkit::readBytes(tmp / "Tonfex.txt"), melody);
    }

    // Without the settings file every command but "vorgaben" ends at the start.
    std::filesystem::remove(tmp / "Tonfex.ini");
    CliRun r = testkit::cliIn(tmp, {"ini"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out,
              "[FEHLER] " + (tmp / "Tonfex.ini").string() + " ist nicht vorhanden!" + hint + "\n");
    EXPECT_EQ(testkit::cliIn(tmp, {"vorgaben"}).out,
              "Geschrieben: " + (tmp / "Tonfex.ini").string() +
                  "\nGeschrieben: " + (tmp / "Tonfex-RPP-02").string() + "\n");
    EXPECT_EQ(testkit::cliIn(tmp, {"vorgaben"}).out,
              "Alle Vorgaben sind vorhanden; es wurde nichts geschrieben.\n");
    EXPECT_EQ(testkit::cliIn(tmp, {"ini"}).status, 0);
}

TEST(Cli, UsageErrorsExitTwoAndOptionsGoBeforeOrAfterTheVerb) {
    testkit::TempFolder tmp;
    const std::string dir = tmp.dir().string();
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"gibtsnicht"},
             {"--ja", "--nein", "ini"},
             {"ini", "--arbeit"},
             {"--unbekannt", "ini"},
             {"--arbeit", dir, "load", "abc"},
             {"--arbeit", dir, "load", "0"},
             {"--arbeit", dir, "regel", "x"},
             {"--arbeit", dir, "regel", std::to_string(help::lastPage() + 1)},
             {"--arbeit", dir, "regel", "3", "4"},
             {"--arbeit", dir, "ini", "extra"},
             {"--seed", "4x", "neu"},
             {"--seed", "2147483648", "neu"},
             {"neu", "--seed"}}) {
        CliRun wrong = cli(args);
        EXPECT_EQ(wrong.status, 2) << args.back();
        EXPECT_TRUE(has(wrong.out, "\nAufruf: tonfex "));
    }
    // Usage is checked before the working folder is touched.
    EXPECT_TRUE(std::filesystem::is_empty(tmp.dir()));
    // A No to a safety question ends the command unchanged, with status 1.
    EXPECT_EQ(cli({"--arbeit", dir, "--nein", "sm"}).status, 1);
    EXPECT_EQ(cli({"--arbeit", dir, "--nein", "store"}).status, 1);
    EXPECT_FALSE(std::filesystem::exists(tmp / "Tonfex-Doku.txt"));
    EXPECT_EQ(cli({"--help"}).status, 0);

    for (const auto& args : std::vector<std::vector<std::string>>{
             {"--arbeit", "X", "--nein", "load", "3"}, {"load", "3", "--nein", "--arbeit=X"}}) {
        CliOptions o;
        EXPECT_EQ(parseArguments(args, o), "");
        EXPECT_EQ(o.folder + " " + o.verb, "X load");
        EXPECT_EQ(o.answers, AnswerMode::No);
        EXPECT_EQ(o.arguments, std::vector<std::string>{"3"});
    }
    for (auto [text, seed] : {std::pair{"zufall", -1}, {"-2147483648", INT32_MIN}, {"42", 42}}) {
        CliOptions o;
        EXPECT_EQ(parseArguments({"neu", "--seed", text}, o), "");
        EXPECT_EQ(o.seed, seed);
    }
}

TEST(Cli, GenerationShowsItsProgressAsABarOnlyOnATerminal) {
    testkit::TempFolder tmp;
    testkit::prepare(tmp,
                     {{"SOUND", "1"}, {"TONFINDUNGSMETHODE", "1"}, {"ANZAHL", "20"},
                      {"TIEFTON", "40"}, {"HOCHTON", "80"}},
                     "");
    const std::vector<std::string> args = {"--arbeit", tmp.dir().string(), "--seed", "5",
                                           "--mid",    (tmp / "s.mid").string(), "neu"};
    std::ostringstream out;
    std::istringstream in;
    Terminal terminal{out, in, false, true};
    ASSERT_EQ(runCli(args, terminal), 0) << out.str();
    EXPECT_TRUE(testkit::has(out.str(), "\rTon 10 von 20  [###############---------------] 50 %"))
        << out.str();
    EXPECT_TRUE(testkit::has(out.str(), "\rTon 20 von 20  [##############################] 100 %"));
    const auto piped = testkit::cli(args);
    EXPECT_EQ(piped.status, 0);
    EXPECT_FALSE(testkit::has(piped.out, "Ton 1 von")) << piped.out;
}
