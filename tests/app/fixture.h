// A window state on a temporary working folder with scripted platform doubles.
#pragma once

#include "app/app.h"
#include "app/defaults.h"
#include "core/textfile.h"
#include "platform/doubles.h"
#include "platform/midi.h"
#include "settings/template.h"
#include "support.h"

#include <gtest/gtest.h>

namespace tonfex::testkit {

struct AppTest : ::testing::Test {
    TempFolder tmp;
    TestPlatform tp;
    MidiRecorder midi{tp.clock}; // every MIDI message the window sends, with its time
    App app{tp.platform, tmp.folder(), '.', OsKind::Windows};

    AppTest() {
        EXPECT_EQ(ensureWorkFolder(tp.files, tmp.folder()), "");
        app.useMidiSystem(midi);
    }

    // The template with some keyword lines replaced (or put first) as the settings file.
    void settings(const KeyValues& values) {
        writeTextLines(tp.files, tmp / "Tonfex.ini", withValues(settingsTemplate(), values));
    }
    void settings(const std::string& values) { settings(keyValues(values)); }
    // A session's written files: melody, REAPER project, score, pattern and a preset.
    void writeSession(const KeyValues& values) {
        writeBytes(tmp / "Tonfex-01.cap", "Partitur 01");
        writeBytes(tmp / "Tonfex-02.cap", "Partitur 02");
        settings(values);
        app.KeineFrage_Click();
        app.Dateiherstellung_Click();
        app.TonfexCap_Click();
        app.Capellanotenwandeln_Click();
        tp.dialogs.answers = {true};
        app.Speichern_Click();
    }
    std::string file(const std::string& name) { return readBytes(tmp / name); }
    // The last message box as "TITLE: text".
    std::string said() const {
        const auto& r = tp.dialogs.records;
        return r.empty() ? "" : r.back().title + ": " + r.back().text;
    }
};

// Every launcher button with the file it opens (in the working folder) and its program.
struct Launcher {
    const char* name;
    void (App::*click)();
    const char* file;
    enum Kind { Editor, Reaper, Capella, Viewer } kind;
};

inline const std::vector<Launcher>& launchers() {
    static const std::vector<Launcher> table = {
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
    return table;
}

} // namespace tonfex::testkit
