// Regel 08: the pitch classes of Pattern 02 as a twelve-tone row, each pass one of its four
// forms, transposed by a shift that does not recur within WIEDERHOLUNGSDISTANZ passes.
#include "core/numbers.h"
#include "generation/rulekit.h"

#include <algorithm>
#include <array>
#include <vector>

namespace tonfex {

using namespace rulekit;

int Regel08(RuleContext& ctx, const PatternTables& p) {
    startRule(ctx, "Regel 08");
    Settings& s = ctx.s;
    const Pattern& p02 = p.Pattern02;
    ToneWriter w(ctx.melody);
    ctx.Versuche = 0;
    if (p02.Zeilen == 0) failRule(ctx, emptyPatternText(p.Pattern02Datei));
    const int width = s.OBERGRENZE + 1 - s.UNTERGRENZE;
    if (width < 1)
        failRule(ctx, "OBERGRENZE (" + plainText(s.OBERGRENZE) + ") ist kleiner als UNTERGRENZE (" +
                          plainText(s.UNTERGRENZE) + ") - es werden keine Töne berechnet.");
    ctx.c.Text1.visible = true;

    // The row: pitch classes in order of first appearance, each tone with the duration and
    // volume of the pattern row at its place.
    std::vector<int> row;
    std::array<bool, 12> seen{};
    for (int r = 1; r <= p02.Zeilen; ++r) {
        const int pc = ((p02.Tonhoehe[static_cast<size_t>(r)] % 12) + 12) % 12;
        if (!seen[static_cast<size_t>(pc)]) row.push_back(pc);
        seen[static_cast<size_t>(pc)] = true;
    }
    std::string rowText = "Reihe:";
    for (int pc : row)
        rowText += " " + plainText(pc);
    // Every form lies in the octave from the pattern's first tone; inversion mirrors around it.
    const int first = p02.Tonhoehe[1], r0 = row[0];
    const auto m = row.size();
    auto pitchOf = [&](int form, size_t k) {
        const size_t at = form == 1 || form == 3 ? m - 1 - k : k;
        const int up = form >= 2 ? r0 - row[at] : row[at] - r0;
        return first + ((up % 12) + 12) % 12;
    };
    static constexpr const char* kForms[4] = {"Grundgestalt", "Krebs", "Umkehrung",
                                              "Krebsumkehrung"};
    ListBox& z = ctx.c.Zuordnung;
    z.add("");
    z.add(rowText);
    z.add("");
    z.add("Reihenformen und Transpositionen:");

    const int passes = std::max<int>(s.WIEVIELELOOPS, 0);
    const int distance = s.WIEDERHOLUNGSDISTANZ;
    std::vector<std::int16_t> shifts(static_cast<size_t>(passes) + 1, 0);
    std::vector<std::int32_t> inWindow(65536, 0); // shifts among the passes the distance forbids
    auto slot = [&](std::int16_t shift) -> std::int32_t& {
        return inWindow[static_cast<size_t>(shift + 32768)];
    };
    auto drawShift = [&] {
        auto shift = clamp16(intFloor(static_cast<double>(draw(ctx)) * width) + s.UNTERGRENZE);
        waitAfterDraw(ctx);
        return shift;
    };
    int windowStart = 1;
    for (int pass = 1; pass <= passes && !w.stopHere(); ++pass) {
        const int j0 = std::min(pass > distance ? pass - distance : 1, pass);
        for (; windowStart < j0; ++windowStart)
            --slot(shifts[static_cast<size_t>(windowStart)]);
        const int form =
            std::clamp(static_cast<int>(intFloor(static_cast<double>(draw(ctx)) * 4)), 0, 3);
        waitAfterDraw(ctx);
        std::int16_t shift = drawShift();
        int k = 0;
        while (pass > 1 && slot(shift) > 0 && k != 10000) {
            ++k;
            shift = drawShift();
        }
        shifts[static_cast<size_t>(pass)] = shift;
        ++slot(shift);
        z.add(plainText(pass) + "   " + kForms[form] + "   " + plainText(shift));
        if (k >= 10000) z.add("Regel nicht eingehalten!");
        for (size_t t = 0; t < m; ++t)
            if (!w.add(pitchOf(form, t) + shift, p02.Lautstaerke[t + 1], p02.Tondauer[t + 1]))
                break;
        progress(ctx, w.index(), projected(w.index(), pass, passes));
    }

    return endPatternRule(ctx, w);
}

} // namespace tonfex
