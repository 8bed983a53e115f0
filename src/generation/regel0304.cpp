// Regel 03 and Regel 04: Pattern 02 repeated, transposed by random shifts or with tones
// inserted after seconds.
#include "core/numbers.h"
#include "generation/rulekit.h"

#include <algorithm>
#include <vector>

namespace tonfex {

using namespace rulekit;

int Regel03(RuleContext& ctx, const PatternTables& p) {
    startRule(ctx, "Regel 03");
    Settings& s = ctx.s;
    const Pattern& p02 = p.Pattern02;
    ToneWriter w(ctx.melody);
    ctx.Versuche = 0;
    ctx.c.Text1.visible = true;

    ListBox& z = ctx.c.Zuordnung;
    z.add("");
    listPattern(z, p.Pattern01, p.Pattern01Datei, s.decimal);
    z.add("");
    listPattern(z, p02, p.Pattern02Datei, s.decimal);
    z.add("");
    z.add("Tonhöhenverschiebungsfaktoren:");

    if (p02.Zeilen == 0) failRule(ctx, emptyPatternText(p.Pattern02Datei));
    // Computed in 32 bits: the width of -32768..32767 does not fit 16.
    const int width = s.OBERGRENZE + 1 - s.UNTERGRENZE;
    if (width < 1)
        failRule(ctx, "OBERGRENZE (" + plainText(s.OBERGRENZE) + ") ist kleiner als UNTERGRENZE (" +
                          plainText(s.UNTERGRENZE) + ") - es werden keine Töne berechnet.");

    auto drawShift = [&] {
        auto shift = clamp16(intFloor(static_cast<double>(draw(ctx)) * width) + s.UNTERGRENZE);
        waitAfterDraw(ctx);
        return shift;
    };
    const int passes = std::max<int>(s.WIEVIELELOOPS, 0);
    const int distance = s.WIEDERHOLUNGSDISTANZ;
    std::vector<std::int16_t> verschiebung(static_cast<size_t>(passes) + 1, 0);
    // How often each shift occurs among the passes j0..p-1 that the distance forbids.
    std::vector<std::int32_t> inWindow(65536, 0);
    auto slot = [&](std::int16_t shift) -> std::int32_t& {
        return inWindow[static_cast<size_t>(shift + 32768)];
    };
    int windowStart = 1;

    for (int pass = 1; pass <= passes; ++pass) {
        if (w.stopHere()) break;
        const int j0 = std::min(pass > distance ? pass - distance : 1, pass);
        for (; windowStart < j0; ++windowStart)
            --slot(verschiebung[static_cast<size_t>(windowStart)]);

        std::int16_t shift = drawShift();
        int k = 0;
        if (pass > 1) {
            bool conflict = true;
            while (conflict && k != 10000) {
                ++k;
                shift = drawShift();
                conflict = slot(shift) > 0;
            }
        }
        verschiebung[static_cast<size_t>(pass)] = shift;
        ++slot(shift);
        z.add(plainText(pass) + "   " + plainText(shift));
        if (k >= 10000) z.add("Regel nicht eingehalten!");

        ctx.Versuche = 0;
        for (int r = 1; r <= p02.Zeilen; ++r) {
            auto q = static_cast<size_t>(r);
            if (!w.add(static_cast<double>(p02.Tonhoehe[q]) + shift, p02.Lautstaerke[q],
                       p02.Tondauer[q]))
                break;
            ++ctx.Versuche;
        }
        progress(ctx, w.index(), projected(w.index(), pass, passes));
    }

    return endPatternRule(ctx, w);
}

int Regel04(RuleContext& ctx, const PatternTables& p) {
    startRule(ctx, "Regel 04");
    const Pattern& p02 = p.Pattern02;
    Melody& m = ctx.melody;
    ToneWriter w(m);
    ctx.Versuche = 0;
    ctx.c.Text1.visible = true;
    if (p02.Zeilen == 0) failRule(ctx, emptyPatternText(p.Pattern02Datei));

    const int passes = ctx.s.WIEVIELELOOPS;
    for (int pass = 1; pass <= passes && !w.stopHere(); ++pass) {
        for (int r = 1; r <= p02.Zeilen; ++r) {
            auto q = static_cast<size_t>(r);
            if (!w.add(p02.Tonhoehe[q], p02.Lautstaerke[q], p02.Tondauer[q])) break;
            auto i = static_cast<size_t>(w.index());
            int d = std::abs(m.Tonhoehe[i] - m.Tonhoehe[i - 1]);
            if (pass == 1 || (d != 1 && d != 2)) continue;
            if (w.stopHere()) break;
            int c =
                std::clamp(static_cast<int>(intFloor(static_cast<double>(draw(ctx)) * 3)), 0, 2);
            waitAfterDraw(ctx);
            static constexpr int kSecond[3] = {1, -1, 0};
            static constexpr int kThird[3] = {2, -2, 4};
            int offset = d == 1 ? kSecond[c] : kThird[c];
            int pitch = std::max(m.Tonhoehe[i] + offset, 1);
            // The inserted tone lasts as long as the tone before the copied one.
            if (!w.add(pitch, 127, m.Tondauer[i - 1])) break;
        }
        progress(ctx, w.index(), projected(w.index(), pass, passes));
    }

    return endPatternRule(ctx, w);
}

} // namespace tonfex
