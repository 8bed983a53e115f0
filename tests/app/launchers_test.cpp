#include "fixture.h"

#include "app/launchers.h"
#include "core/errors.h"

#include <functional>
#include <map>

using namespace tonfex;
using tonfex::testkit::AppTest;

namespace {
Environment noVariables = [](const std::string&) { return std::string(); };

struct Launcher {
    const char* name;
    std::function<void(App&)> click;
    std::string file; // relative to the working folder
    enum Kind { Editor, Reaper, Capella, Viewer } kind;
};

std::vector<Launcher> launchers() {
    return {
        {"Command2", &App::Command2_Click, "Tonfex.ini", Launcher::Editor},
        {"Inidateischau", &App::Inidateischau_Click, "Tonfex.ini", Launcher::Editor},
        {"Command3", &App::Command3_Click, "Tonfex.txt", Launcher::Editor},
        {"Dateischau", &App::Dateischau_Click, "Tonfex.txt", Launcher::Editor},
        {"Command4", &App::Command4_Click, "Tonfex-Proginfo.txt", Launcher::Editor},
        {"Command5", &App::Command5_Click, "Tonfex-HC.txt", Launcher::Editor},
        {"Command9", &App::Command9_Click, "Tonfex-HCR.txt", Launcher::Editor},
        {"Command6", &App::Command6_Click, "Tonfex-Test.txt", Launcher::Editor},
        {"Command7", &App::Command7_Click, "Tonfex-Test2.txt", Launcher::Editor},
        {"Command8", &App::Command8_Click, "Tonfex-DTC.txt", Launcher::Editor},
        {"Command10", &App::Command10_Click, "Tonfex-Doku.txt", Launcher::Editor},
        {"Patti", &App::Patti_Click, "Tonfex-Cap-PT.txt", Launcher::Editor},
        {"Patti02", &App::Patti02_Click, "Tonfex-Cap-02.txt", Launcher::Editor},
        {"Reaperstart", &App::Reaperstart_Click, "Tonfex.rpp", Launcher::Reaper},
        {"Reaperstart2", &App::Reaperstart2_Click, "Tonfex-HCR.rpp", Launcher::Reaper},
        {"CapellaStart", &App::CapellaStart_Click, "Tonfex-01.cap", Launcher::Capella},
        {"CapellaStart02", &App::CapellaStart02_Click, "Tonfex-02.cap", Launcher::Capella},
        {"Infos", &App::Infos_Click, "VB/Tonfex/Bilder/Tonfex-00.jpg", Launcher::Viewer},
    };
}
} // namespace

TEST(Launchers, WindowsCommandLinesLetterForLetter) {
    EXPECT_EQ(editorCommand(OsKind::Windows, "C:\\Arbeit\\Tonfex.ini", noVariables).line,
              "C:\\Arbeit\\Editor-K\\NoteTab.exe  C:\\Arbeit\\Tonfex.ini");
    EXPECT_EQ(reaperCommand(OsKind::Windows, "C:\\Arbeit\\Tonfex.rpp", noVariables).line,
              "C:\\Programme\\REAPER\\reaper.exe  C:\\\\Arbeit\\Tonfex.rpp");
    EXPECT_EQ(reaperCommand(OsKind::Windows, "C:\\Arbeit\\Tonfex-HCR.rpp", noVariables).line,
              "C:\\Programme\\REAPER\\reaper.exe  C:\\\\Arbeit\\Tonfex-HCR.rpp");
    auto capella = capellaCommands(OsKind::Windows, "C:\\Arbeit\\Tonfex-01.cap", noVariables);
    ASSERT_EQ(capella.size(), 1u);
    EXPECT_EQ(capella[0].line, "C:\\Programme\\capella2008\\capella.exe C:\\Arbeit\\Tonfex-01.cap");
    EXPECT_EQ(
        viewerCommand(OsKind::Windows, "C:\\Arbeit\\VB\\Tonfex\\Bilder\\Tonfex-00.jpg", noVariables)
            .line,
        "C:\\Arbeit\\IrfanView\\i_view32.exe C:\\Arbeit\\VB\\Tonfex\\Bilder\\Tonfex-00.jpg");
}

TEST(Launchers, LinuxProgramsFromVariablesOrTheSystem) {
    std::map<std::string, std::string> vars = {{"TONFEX_EDITOR", "/opt/ed/mousepad"},
                                               {"TONFEX_REAPER", "/opt/REAPER/reaper"},
                                               {"TONFEX_CAPELLA", "capella-reader"},
                                               {"TONFEX_BILDBETRACHTER", "ristretto"}};
    Environment set = [&](const std::string& name) { return vars.count(name) ? vars[name] : ""; };
    const std::string f = "/home/k/Arbeit/Datei mit Blank.txt";
    auto check = [&](const CommandLine& cmd, const std::string& program) {
        EXPECT_EQ(cmd.program, program);
        EXPECT_EQ(cmd.args, std::vector<std::string>{f}); // one argument, never a shell line
    };
    check(editorCommand(OsKind::Linux, f, set), "/opt/ed/mousepad");
    check(reaperCommand(OsKind::Linux, f, set), "/opt/REAPER/reaper");
    check(capellaCommands(OsKind::Linux, f, set).at(0), "capella-reader");
    check(viewerCommand(OsKind::Linux, f, set), "ristretto");
    auto muse = capellaCommands(OsKind::Linux, f, noVariables);
    ASSERT_EQ(muse.size(), 3u);
    check(muse[0], "mscore3");
    check(muse[2], "musescore");
}

TEST_F(AppTest, EveryLauncherOpensItsFileOnBothSystems) {
    App linux(tp.platform, tmp.folder(), '.', OsKind::Linux);
    linux.environment = app.environment = noVariables;
    for (const auto& l : launchers()) {
        tp.programs.starts.clear();
        tp.windows.closed.clear();
        l.click(app);
        l.click(linux);
        ASSERT_EQ(tp.programs.starts.size(), 2u) << l.name;
        const auto& win = tp.programs.starts[0];
        const auto& lin = tp.programs.starts[1];
        // The Windows lines are those checked letter for letter above, on this launcher's file.
        const std::string f = utf8FromPath((tmp.dir() / l.file).make_preferred());
        const CommandLine expected[] = {editorCommand(OsKind::Windows, f, noVariables),
                                        reaperCommand(OsKind::Windows, f, noVariables),
                                        capellaCommands(OsKind::Windows, f, noVariables).at(0),
                                        viewerCommand(OsKind::Windows, f, noVariables)};
        const char* linuxProgram[] = {"xdg-open", "reaper", "mscore3", "xdg-open"};
        EXPECT_EQ(win.command.line, expected[l.kind].line) << l.name;
        EXPECT_EQ(win.minimized, l.kind == Launcher::Editor || l.kind == Launcher::Reaper)
            << l.name;
        EXPECT_EQ(lin.command.program, linuxProgram[l.kind]) << l.name;
        EXPECT_EQ(lin.command.args,
                  std::vector<std::string>{l.kind == Launcher::Viewer
                                               ? (tmp / "Bilder" / "Tonfex-00.jpg").string()
                                               : (tmp / l.file).string()})
            << l.name;
        if (l.kind == Launcher::Viewer) {
            EXPECT_EQ(tp.windows.closed,
                      std::vector<std::string>(2, "Fm-Test-10-2.bmp - IrfanView"));
        }
    }
    // The picture the viewer is started with is drawn into the working folder.
    EXPECT_TRUE(std::filesystem::exists(overviewPicturePath(app.folder, hostOs())));
}

TEST_F(AppTest, AProgramThatCannotStartIsNamed) {
    app.environment = noVariables;
    tp.programs.succeed = false;
    app.Command8_Click();
    EXPECT_EQ(tp.dialogs.records.back().text,
              "Das Programm C:\\Arbeit\\Editor-K\\NoteTab.exe konnte nicht gestartet werden.");
    App linux(tp.platform, tmp.folder(), '.', OsKind::Linux);
    linux.environment = noVariables;
    linux.CapellaStart_Click();
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
    EXPECT_NE(tp.programs.starts[0].command.line.find("reaper.exe"), std::string::npos);
    EXPECT_TRUE(app.c.Command1.enabled);

    settings("SOUND 1, TONFINDUNGSMETHODE 0.2");
    app.Command1_Click();
    EXPECT_EQ(tp.programs.starts.size(), 1u);

    settings("SOUND 3, TONFINDUNGSMETHODE 1.5");
    EXPECT_THROW(app.Command1_Click(), CommandEnd);
    EXPECT_TRUE(app.c.Command1.enabled);
    EXPECT_EQ(tp.programs.starts.size(), 1u);
}

TEST_F(AppTest, OtherButtons) {
    app.Form_Load();
    app.Text1_KeyDown(45);
    EXPECT_TRUE(app.c.printed.empty());
    app.Text1_KeyDown(46);
    EXPECT_EQ(app.c.printed, std::vector<std::string>{"Mausekuchen"});
    app.Stopp_Click();
    EXPECT_EQ(app.StopFlag, -1);
    EXPECT_THROW(app.Ende_Click(), ProgramEnd);
    app.Label5_MouseMove();
    EXPECT_TRUE(app.c.Label5.bold);
}
