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
    std::string file(const std::string& name) { return readBytes(tmp / name); }
};

} // namespace tonfex::testkit
