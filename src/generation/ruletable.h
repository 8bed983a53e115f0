// The table of melody rules: one row per TONFINDUNGSMETHODE value. Randi06's dispatch, the
// explanation pages and their arrows, the summary, the forced Tdd and the `regel` verb read it.
#pragma once

#include <string>
#include <vector>

namespace tonfex {

struct RuleContext;
struct Settings;
struct PatternTables;

struct RuleRow {
    double tfm;            // the TONFINDUNGSMETHODE value that selects the rule
    const char* Regelname; // "Regel 01"
    // Makes the melody and returns the final tone index (Randi06 makes it Tonzahl).
    int (*run)(RuleContext& ctx, const PatternTables& p);
    std::vector<std::string> page; // the explanation page the `Regel` command shows
    bool patterns;                 // reads Pattern 01 and 02: Randi06 reads and lists both first
    int tondauerdirekt;            // the TONDAUERDIREKT the rule forces, or -1
};

// The rules in page order: row k has explanation page k + 1 (page 0 is the test mode's).
const std::vector<RuleRow>& ruleTable();
// The row of TONFINDUNGSMETHODE `tfm`, or nullptr.
const RuleRow* findRule(double tfm);
// Sets the TONDAUERDIREKT the chosen rule forces; `Initial` calls it after converting.
void forceRuleSettings(Settings& s);

} // namespace tonfex
