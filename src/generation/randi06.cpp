// Randi06: reads the two pattern files, lists them and runs the pattern rule TFm names.
#include "core/numbers.h"
#include "core/zufall.h"
#include "generation/rulekit.h"
#include "generation/ruletable.h"
#include "melody/zeilenleser.h"

namespace tonfex {

using namespace rulekit;

void listPattern(ListBox& list, const Pattern& pattern, const std::string& fileText, char decimal) {
    list.add("Pattern aus");
    list.add(fileText + ":");
    list.add("");
    for (int r = 1; r <= pattern.Zeilen; ++r) {
        auto k = static_cast<size_t>(r);
        list.add(plainText(pattern.Tonhoehe[k]) + "  " + plainText(pattern.Lautstaerke[k]) + "  " +
                 plainText(pattern.Tondauer[k], decimal));
    }
    list.add("");
}

namespace {

void copyRows(const Pattern& from, Pattern& to) {
    for (int r = 1; r <= from.Zeilen; ++r) {
        auto k = static_cast<size_t>(r);
        to.Tonhoehe[k] = from.Tonhoehe[k];
        to.Lautstaerke[k] = from.Lautstaerke[k];
        to.Tondauer[k] = from.Tondauer[k];
    }
    to.Zeilen = from.Zeilen;
}

void readPattern(RuleContext& ctx, PatternTables& p, const std::string& fileText, Pattern& target) {
    Patternleser(ctx.platform.files, ctx.platform.dialogs, pathFromUtf8(fileText), fileText,
                 p.Patternpuffer);
    copyRows(p.Patternpuffer, target);
    listPattern(ctx.c.Zuordnung, target, fileText, ctx.s.decimal);
}

} // namespace

void Randi06(RuleContext& ctx, PatternTables& p) {
    Settings& s = ctx.s;
    ctx.melody.erase();
    ctx.melody.Tonzahl = 0;
    ctx.c.Daten.add("  Die Töne");
    ctx.c.Daten.add("  werden berechnet");
    if (s.TRACKZAHL == 1) s.AUTOPAN = 0;
    if (s.sampleMode()) {
        s.TIEFTON = 1;
        s.HOCHTON = ctx.Samplezahl;
        ctx.platform.random.reseed();
        waitAfterDraw(ctx);
    }
    // MIDI mode draws without a fresh seed.
    double rnd = ctx.platform.random.next();
    s.STARTTON = clamp16(intFloor(rnd * s.HOCHTON) + 1);

    const RuleRow* rule = findRule(s.tfm());
    if (!rule || rule->patterns) {
        p.Pattern01Datei = ctx.folder.text(names::pattern01);
        p.Pattern02Datei = ctx.folder.text(names::pattern02);
        readPattern(ctx, p, p.Pattern01Datei, p.Pattern01);
        readPattern(ctx, p, p.Pattern02Datei, p.Pattern02);
    }
    if (!rule)
        failRule(ctx,
                 "Für TONFINDUNGSMETHODE " + s.TONFINDUNGSMETHODE + " gibt es keine Regel (TFm).");
    ctx.melody.Tonzahl = static_cast<std::int16_t>(rule->run(ctx, p));
}

} // namespace tonfex
