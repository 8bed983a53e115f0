// Regel 09: a random walk whose steps are the intervals of Pattern 02's melody, each as often
// as it occurs there; a step that would leave TIEFTON..HOCHTON goes the other way.
#include "core/numbers.h"
#include "generation/rulekit.h"

#include <algorithm>
#include <vector>

namespace tonfex {

using namespace rulekit;

int Regel09(RuleContext& ctx, const PatternTables& p) {
    startRule(ctx, "Regel 09");
    Settings& s = ctx.s;
    const Pattern& p02 = p.Pattern02;
    ToneWriter w(ctx.melody);
    ctx.Versuche = 0;
    if (p02.Zeilen < 2)
        failRule(ctx, "Die Patterndatei " + p.Pattern02Datei +
                          " braucht für Regel 09 mindestens zwei Töne.");
    if (s.HOCHTON < s.TIEFTON)
        failRule(ctx, "HOCHTON (" + plainText(s.HOCHTON) + ") ist kleiner als TIEFTON (" +
                          plainText(s.TIEFTON) + ") - es werden keine Töne berechnet.");
    ctx.c.Text1.visible = true;

    // One entry per interval of the pattern: drawing an entry weighs each step by its count.
    std::vector<int> steps;
    for (int r = 2; r <= p02.Zeilen; ++r)
        steps.push_back(p02.Tonhoehe[static_cast<size_t>(r)] -
                        p02.Tonhoehe[static_cast<size_t>(r - 1)]);
    const int lo = s.TIEFTON, hi = s.HOCHTON;
    const double count = static_cast<double>(steps.size());
    const double lautvar = s.LAUTVAR;
    int pitch = std::clamp<int>(s.STARTTON, lo, hi); // the reference, not itself a tone
    while (w.index() < s.toneCount && !w.stopHere()) {
        const auto pick = static_cast<size_t>(
            std::clamp(intFloor(static_cast<double>(draw(ctx)) * count), 0.0, count - 1));
        waitAfterDraw(ctx);
        const int step = steps[pick];
        int next = pitch + step;
        // Reflected at the bound; a step wider than the range stops at the bound it crosses.
        if (next < lo || next > hi) next = pitch - step;
        if (next < lo || next > hi) next = std::clamp(pitch + step, lo, hi);
        pitch = next;
        // Volume and duration as in Regel 01.
        auto volume =
            clamp16(intFloor(static_cast<double>(draw(ctx)) * lautvar) + (127 - lautvar) + 1);
        double duration = intFloor(static_cast<double>(draw(ctx)) * s.NOTENWERT) + 1;
        waitAfterDraw(ctx);
        w.add(pitch, volume, duration);
        progress(ctx, w.index(), s.toneCount);
    }

    return endPatternRule(ctx, w);
}

} // namespace tonfex
