// The melody rules: Regel 01 to Regel 06, the dispatch Randi06 and what they share.
#pragma once

#include "controls/window.h"
#include "core/workfolder.h"
#include "melody/melody.h"
#include "platform/platform.h"
#include "settings/settings.h"

#include <cstdint>
#include <string>

namespace tonfex {

// The pieces of window state a rule reads and writes.
struct RuleContext {
    Settings& s;     // rules change HOCHTON, INTERVALL, AUTOPAN, TIEFTON, STARTTON in memory
    Melody& melody;  // tone arrays, Tonzahl, Tonzaehler
    MainControls& c; // Daten, Zuordnung, Text1, txtNot
    Platform& platform;
    const WorkFolder& folder;
    std::string& Regelname;
    std::int16_t& Versuche;
    std::int32_t Samplezahl; // catalogued samples of the last sample-mode run
};

// The pattern tables and the names of the files they were read from.
struct PatternTables {
    Pattern& Patternpuffer;
    Pattern& Pattern01;
    Pattern& Pattern02;
    std::string& Pattern01Datei;
    std::string& Pattern02Datei;
};

// Random rules; each leaves the melody in entries 1..Tonzahl and sets Tonzahl.
void Regel01(RuleContext& ctx);
void Regel02(RuleContext& ctx);

// Pattern rules; each returns the final tone index (Randi06 makes it Tonzahl).
int Regel03(RuleContext& ctx, const PatternTables& p);
int Regel04(RuleContext& ctx, const PatternTables& p);
int Regel05(RuleContext& ctx, const PatternTables& p);
int Regel06(RuleContext& ctx, const PatternTables& p);
int Regel07(RuleContext& ctx, const PatternTables& p);
int Regel08(RuleContext& ctx, const PatternTables& p);
int Regel09(RuleContext& ctx, const PatternTables& p);

// Runs the rule-table row TONFINDUNGSMETHODE names, after reading and listing both pattern
// files when the row reads patterns (or there is no row). A value without a row ends the
// command with Tonzahl 0 and a message naming the value.
void Randi06(RuleContext& ctx, PatternTables& p);

// The listing of one pattern: "Pattern aus", the file, the rows, an empty line.
void listPattern(ListBox& list, const Pattern& pattern, const std::string& fileText, char decimal);

} // namespace tonfex
