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

    // Replaces keyword lines of the template (or appends them).
    void settings(const std::vector<std::pair<std::string, std::string>>& values) {
        auto lines = settingsTemplate();
        for (const auto& [key, value] : values) {
            bool found = false;
            for (auto& line : lines)
                if (line.rfind(key + " ", 0) == 0) {
                    line = key + " " + value + "   (x)";
                    found = true;
                }
            if (!found) lines.insert(lines.begin(), key + " " + value);
        }
        writeTextLines(tp.files, tmp / "Tonfex.ini", lines);
    }
    std::string file(const std::string& name) { return readBytes(tmp / name); }
};

} // namespace tonfex::testkit
