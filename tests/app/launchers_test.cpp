#include "fixture.h"

#include "app/commands.h"
#include "app/launchers.h"
#include "core/errors.h"
#include "platform/real.h"

#include <map>

using namespace tonfex;
using tonfex::testkit::AppTest;
using tonfex::testkit::Launcher;

namespace {
Environment noVariables = [](const std::string&) { return std::string(); };

// The Windows command line of each kind of program on `f`.
std::vector<std::string> windowsLines(const std::string& f) {
    return {editorCommand(OsKind::Windows, f, noVariables).line,
            reaperCommand(OsKind::Windows, f, noVariables).line,
            capellaCommands(OsKind::Windows, f, noVariables).at(0).line,
            viewerCommand(OsKind::Windows, f, noVariables).line};
}
} // namespace

TEST(Launchers, WindowsCommandLinesLetterForLetterLinuxProgramsFromVariablesOrTheSystem) {
    EXPECT_EQ(windowsLines("C:\\Arbeit\\VB\\Tonfex-HCR.rpp"),
              testkit::mapped(
                  {Launcher::Editor, Launcher::Reaper, Launcher::Capella, Launcher::Viewer},
                  [](Launcher::Kind k) { return testkit::windowsLine(k, "VB/Tonfex-HCR.rpp"); }));

    std::map<std::string, std::string> vars = {{"TONFEX_EDITOR", "/opt/ed/mousepad"},
                                               {"TONFEX_REAPER", "/opt/REAPER/reaper"},
                                               {"TONFEX_CAPELLA", "capella-reader"},
                                               {"TONFEX_BILDBETRACHTER", "ristretto"}};
    Environment set = [&](const std::string& name) { return vars.count(name) ? vars[name] : ""; };
    const std::string f = "/home/k/Arbeit/Datei mit Blank.txt";
    auto muse = capellaCommands(OsKind::Linux, f, noVariables);
    ASSERT_EQ(muse.size(), 3u);
    std::string programs;
    for (const CommandLine& cmd :
         {editorCommand(OsKind::Linux, f, set), reaperCommand(OsKind::Linux, f, set),
          capellaCommands(OsKind::Linux, f, set).at(0), viewerCommand(OsKind::Linux, f, set),
          muse[0], muse[2]}) {
        programs += cmd.program + " ";
        EXPECT_EQ(cmd.args, std::vector<std::string>{f}); // one argument, never a shell line
    }
    EXPECT_EQ(programs,
              "/opt/ed/mousepad /opt/REAPER/reaper capella-reader ristretto mscore3 musescore ");
}

TEST_F(AppTest, EveryLauncherOpensItsFileOnBothSystems) {
    App linux(tp.platform, tmp.folder(), '.', OsKind::Linux);
    linux.environment = app.environment = noVariables;
    const char* linuxProgram[] = {"xdg-open", "reaper", "mscore3", "xdg-open"};
    for (const Launcher& l : testkit::launchers()) {
        SCOPED_TRACE(l.name);
        tp.programs.starts.clear();
        tp.windows.closed.clear();
        findControl(l.name)->run(app, {});
        findControl(l.name)->run(linux, {});
        ASSERT_EQ(tp.programs.starts.size(), 2u);
        const auto& win = tp.programs.starts[0];
        const auto& lin = tp.programs.starts[1];
        // The Windows lines are those checked letter for letter above, on this launcher's file.
        const auto f = (tmp.dir() / l.file).make_preferred();
        EXPECT_EQ(win.command.line, windowsLines(utf8FromPath(f))[l.kind]);
        EXPECT_EQ(win.minimized, l.kind == Launcher::Editor || l.kind == Launcher::Reaper);
        EXPECT_EQ(lin.command.program, linuxProgram[l.kind]);
        EXPECT_EQ(lin.command.args,
                  std::vector<std::string>{l.kind == Launcher::Viewer
                                               ? (tmp / "Bilder" / "Tonfex-00.jpg").string()
                                               : (tmp / l.file).string()});
        EXPECT_EQ(tp.windows.closed, std::vector<std::string>(l.kind == Launcher::Viewer ? 2 : 0,
                                                              "Fm-Test-10-2.bmp - IrfanView"));
    }
    // The picture the viewer is started with is drawn into the working folder.
    EXPECT_TRUE(std::filesystem::exists(overviewPicturePath(app.folder, hostOs())));
}

TEST_F(AppTest, AProgramThatCannotStartIsNamed) {
    app.environment = noVariables;
    tp.programs.succeed = false;
    findControl("Command8")->run(app, {});
    EXPECT_EQ(tp.dialogs.records.back().text,
              "Das Programm C:\\Arbeit\\Editor-K\\NoteTab.exe konnte nicht gestartet werden.");
    App linux(tp.platform, tmp.folder(), '.', OsKind::Linux);
    linux.environment = noVariables;
    findControl("CapellaStart")->run(linux, {});
    EXPECT_EQ(tp.programs.starts.size(), 4u); // the editor, then each MuseScore name in turn
    EXPECT_EQ(tp.dialogs.records.back().text,
              "Keines der Programme mscore3, musescore3, musescore konnte gestartet werden.");
}

TEST_F(AppTest, PowerButtonStartsReaperInSampleModesOnly) {
    app.environment = noVariables;
    // The test mode over an empty catalogue makes no tones; the play reads the file back.
    settings("SOUND 3, TONFINDUNGSMETHODE 0.2");
    testkit::writeBytes(tmp / "Tonfex.txt", "60 100 4\r\n");
    app.Form_Load();
    app.Command1_Click();
    ASSERT_EQ(tp.programs.starts.size(), 1u);
    EXPECT_TRUE(testkit::has(tp.programs.starts[0].command.line, "reaper.exe"));
    EXPECT_TRUE(app.c.Command1.enabled);

    settings("SOUND 1, TONFINDUNGSMETHODE 0.2");
    app.Command1_Click();
    EXPECT_EQ(tp.programs.starts.size(), 1u);

    settings("SOUND 3, TONFINDUNGSMETHODE 1.5");
    EXPECT_THROW(app.Command1_Click(), CommandEnd);
    EXPECT_TRUE(app.c.Command1.enabled && tp.programs.starts.size() == 1u);
}

TEST_F(AppTest, OtherButtons) {
    app.Form_Load();
    app.Text1_KeyDown(45);
    EXPECT_TRUE(app.c.printed.empty());
    app.Text1_KeyDown(46);
    EXPECT_EQ(app.c.printed, std::vector<std::string>{"Mausekuchen"});
    EXPECT_THROW(app.Ende_Click(), ProgramEnd);
}

TEST(WindowsCommandLine, PathsWithBlanksAreQuotedAsTheRuntimeSplitsThem) {
    // The C runtime's rules: backslashes count only before a quote.
    EXPECT_EQ(quoteWindowsArgument("C:\\Arbeit\\Tonfex.txt"), "C:\\Arbeit\\Tonfex.txt");
    EXPECT_EQ(quoteWindowsArgument("C:\\mit Leer zeichen\\"), "\"C:\\mit Leer zeichen\\\\\"");
    EXPECT_EQ(quoteWindowsArgument("a\\\"b"), "\"a\\\\\\\"b\"");
    EXPECT_EQ(quoteWindowsArgument(""), "\"\"");
    // Only what needs quotes gets them; the blanks between program and file stay.
    const std::string program = "C:\\Arbeit\\Editor-K\\NoteTab.exe";
    EXPECT_EQ(quotedCommandLine({program + "  C:\\Arbeit\\a.txt", program, {"C:\\Arbeit\\a.txt"}}),
              program + "  C:\\Arbeit\\a.txt");
    EXPECT_EQ(
        quotedCommandLine({program + "  C:\\mit Leer\\a.txt", program, {"C:\\mit Leer\\a.txt"}}),
        program + "  \"C:\\mit Leer\\a.txt\"");
}
