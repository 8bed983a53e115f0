// Settings from the template with some values replaced, and a page view on fresh controls.
#pragma once

#include "controls/window.h"
#include "generation/ruletable.h"
#include "help/help.h"
#include "platform/doubles.h"
#include "settings/template.h"
#include "support.h"

#include <gtest/gtest.h>

namespace tonfex::testkit {

inline Settings settingsWith(const KeyValues& values, char decimal = '.') {
    IniTable table;
    fillIniTable(table, withValues(settingsTemplate(), values));
    Settings s = convertSettings(table, decimal);
    forceRuleSettings(s);
    return s;
}

struct PageTest : ::testing::Test {
    MainControls c;
    bool LinkFlag = false, InidatGross = false, List2Gross = true;
    help::PageView view{c.inidat,    c.List2,      c.Daten,  c.Zuordnung, c.Label2,   c.Label5,
                        c.erklaplus, c.erklaminus, LinkFlag, InidatGross, List2Gross, 1025};
    Settings s = settingsWith({});
    int reads = 0;
    help::ReadSettings initial = [this]() -> const Settings& {
        ++reads;
        return s;
    };
    ScriptedDialogs dialogs;
};

} // namespace tonfex::testkit
