// Regel 05 and Regel 06: Pattern 01 steers Pattern 02. A Pattern 01 tone of duration 5 or more
// is replaced by Pattern 02, transposed by the tone's distance from pitch 48.
#include "core/numbers.h"
#include "core/textfile.h"
#include "generation/rulekit.h"

#include <algorithm>
#include <vector>

namespace tonfex {

using namespace rulekit;

namespace {

constexpr double kLongTone = 5;
constexpr int kReferencePitch = 48;

bool hasLongTone(const Pattern& p) {
    for (int r = 1; r <= p.Zeilen; ++r)
        if (p.Tondauer[static_cast<size_t>(r)] >= kLongTone) return true;
    return false;
}

// The start both rules share; a Pattern 01 without rows ends the command, a Pattern 02 without
// rows is told once (its long tones then make no tones).
void startPatternRule(RuleContext& ctx, const PatternTables& p, const std::string& name) {
    startRule(ctx, name);
    ctx.Versuche = 0;
    ctx.c.Text1.visible = true;
    if (p.Pattern01.Zeilen == 0) failRule(ctx, emptyPatternText(p.Pattern01Datei));
    if (p.Pattern02.Zeilen == 0 && hasLongTone(p.Pattern01))
        tellError(ctx, emptyPatternText(p.Pattern02Datei));
}

void finishPatternRule(RuleContext& ctx, const ToneWriter& w) {
    endPatternRule(ctx, w);
}

struct Stretch {
    int first = 1, last = 1, step = 1;
};

// A random stretch of rows 1..rows: x, y, and with `backward` allowed a direction z.
Stretch chooseStretch(RuleContext& ctx, int rows, bool backward, int& direction) {
    auto drawRow = [&] {
        int row = static_cast<int>(intFloor(static_cast<double>(draw(ctx)) * rows)) + 1;
        waitAfterDraw(ctx);
        return std::clamp(row, 1, rows);
    };
    int x = drawRow();
    int y = drawRow();
    Stretch s{std::min(x, y), std::max(x, y), 1};
    if (backward) {
        int z = static_cast<int>(intFloor(2 * static_cast<double>(draw(ctx))));
        waitAfterDraw(ctx);
        direction = z == 1 ? -1 : 1;
        if (direction == -1) std::swap(s.first, s.last);
    }
    s.step = direction;
    return s;
}

std::string stretchText(const Stretch& s) {
    return plainText(s.first) + " bis " + plainText(s.last);
}

} // namespace

int Regel05(RuleContext& ctx, const PatternTables& p) {
    startPatternRule(ctx, p, "Regel 05");
    Settings& s = ctx.s;
    const Pattern& p01 = p.Pattern01;
    const Pattern& p02 = p.Pattern02;
    if (s.LANGTON < s.KURZTON && p02.Zeilen > 0 && hasLongTone(p01))
        failRule(ctx, "LANGTON (" + plainText(s.LANGTON) + ") ist kleiner als KURZTON (" +
                          plainText(s.KURZTON) + ") - es werden keine Töne berechnet.");
    const double range = static_cast<double>(s.LANGTON) + 1 - s.KURZTON;
    ToneWriter w(ctx.melody);

    for (int pass = 1; pass <= s.WIEVIELELOOPS && !w.stopHere(); ++pass) {
        for (int r = 1; r <= p01.Zeilen && !w.full(); ++r) {
            auto k = static_cast<size_t>(r);
            if (p01.Tondauer[k] < kLongTone) {
                w.add(p01.Tonhoehe[k], p01.Lautstaerke[k], p01.Tondauer[k]);
                continue;
            }
            const int transpose = p01.Tonhoehe[k] - kReferencePitch;
            for (int q = 1; q <= p02.Zeilen && !w.stopHere(); ++q) {
                auto j = static_cast<size_t>(q);
                double duration =
                    toInt16(intFloor(static_cast<double>(draw(ctx)) * range) + s.KURZTON);
                waitAfterDraw(ctx);
                w.add(p02.Tonhoehe[j] + transpose, p02.Lautstaerke[j], duration);
            }
        }
        progress(ctx, w.index(), projected(w.index(), pass, s.WIEVIELELOOPS));
    }
    finishPatternRule(ctx, w);
    return w.index();
}

int Regel06(RuleContext& ctx, const PatternTables& p) {
    startPatternRule(ctx, p, "Regel 06");
    Settings& s = ctx.s;
    const Pattern& p01 = p.Pattern01;
    const Pattern& p02 = p.Pattern02;
    ToneWriter w(ctx.melody);
    LocalTime now = ctx.platform.clock.now();
    std::vector<std::string> log = {dateText(now) + "  " + timeText(now), ""};
    int d1 = 1, d2 = 1;

    for (int pass = 1; pass <= s.WIEVIELELOOPS && !w.stopHere(); ++pass) {
        log.push_back(plainText(pass) + ". Schleife:");
        Stretch s1 = chooseStretch(ctx, p01.Zeilen, s.VORRUCK01, d1);
        log.push_back("Pattern 01:  " + stretchText(s1));
        for (int r = s1.first; r != s1.last + s1.step && !w.full(); r += s1.step) {
            auto k = static_cast<size_t>(r);
            if (p01.Tondauer[k] < kLongTone) {
                w.add(p01.Tonhoehe[k], p01.Lautstaerke[k], p01.Tondauer[k]);
                continue;
            }
            // A long tone with an empty Pattern 02 makes no tones and draws nothing.
            if (p02.Zeilen == 0 || w.stopHere()) continue;
            Stretch s2 = chooseStretch(ctx, p02.Zeilen, s.VORRUCK02, d2);
            log.push_back("Pattern 02:  " + stretchText(s2));
            const int transpose = p01.Tonhoehe[k] - kReferencePitch;
            for (int q = s2.first; q != s2.last + s2.step; q += s2.step) {
                auto j = static_cast<size_t>(q);
                if (!w.add(p02.Tonhoehe[j] + transpose, p02.Lautstaerke[j],
                           p02.Tondauer[j] * p01.Tondauer[k] / 400))
                    break;
            }
        }
        log.push_back("");
        progress(ctx, w.index(), projected(w.index(), pass, s.WIEVIELELOOPS));
    }

    std::string error = writeTextLines(ctx.platform.files, ctx.folder.path(names::patternLog), log);
    if (!error.empty())
        tellError(ctx, "Die Protokolldatei " + ctx.folder.text(names::patternLog) +
                           " konnte nicht geschrieben werden: " + error);
    finishPatternRule(ctx, w);
    return w.index();
}

} // namespace tonfex
