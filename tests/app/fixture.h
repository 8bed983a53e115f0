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

#include <algorithm>

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
    const char* name; // the control, run through the command table
    const char* file;
    enum Kind { Editor, Reaper, Capella, Viewer } kind;
};

inline const std::vector<Launcher>& launchers() {
    static const std::vector<Launcher> table = {
        {"Command2", "Tonfex.ini", Launcher::Editor},
        {"Inidateischau", "Tonfex.ini", Launcher::Editor},
        {"Command3", "Tonfex.txt", Launcher::Editor},
        {"Dateischau", "Tonfex.txt", Launcher::Editor},
        {"Command4", "Tonfex-Proginfo.txt", Launcher::Editor},
        {"Command5", "Tonfex-HC.txt", Launcher::Editor},
        {"Command9", "Tonfex-HCR.txt", Launcher::Editor},
        {"Command6", "Tonfex-Test.txt", Launcher::Editor},
        {"Command7", "Tonfex-Test2.txt", Launcher::Editor},
        {"Command8", "Tonfex-DTC.txt", Launcher::Editor},
        {"Command10", "Tonfex-Doku.txt", Launcher::Editor},
        {"Patti", "Tonfex-Cap-PT.txt", Launcher::Editor},
        {"Patti02", "Tonfex-Cap-02.txt", Launcher::Editor},
        {"Reaperstart", "Tonfex.rpp", Launcher::Reaper},
        {"Reaperstart2", "Tonfex-HCR.rpp", Launcher::Reaper},
        {"CapellaStart", "Tonfex-01.cap", Launcher::Capella},
        {"CapellaStart02", "Tonfex-02.cap", Launcher::Capella},
        {"Infos", "VB/Tonfex/Bilder/Tonfex-00.jpg", Launcher::Viewer},
    };
    return table;
}

// The command line a composer's Windows machine gets for a program of `kind` on `file` in the
// working folder "C:\Arbeit\".
inline std::string windowsLine(Launcher::Kind kind, std::string file) {
    const char* program[] = {"C:\\Arbeit\\Editor-K\\NoteTab.exe  C:\\Arbeit\\",
                             "C:\\Programme\\REAPER\\reaper.exe  C:\\\\Arbeit\\",
                             "C:\\Programme\\capella2008\\capella.exe C:\\Arbeit\\",
                             "C:\\Arbeit\\IrfanView\\i_view32.exe C:\\Arbeit\\"};
    std::replace(file.begin(), file.end(), '/', '\\');
    return program[kind] + file;
}

} // namespace tonfex::testkit
