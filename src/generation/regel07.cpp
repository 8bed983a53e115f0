// Regel 07: a Markov chain of order 1 or 2 over the (interval, duration, volume) of the tones
// of Pattern 01, which is read as a loop: its last tone leads back to its first.
#include "core/numbers.h"
#include "generation/rulekit.h"

#include <algorithm>
#include <map>
#include <tuple>
#include <vector>

namespace tonfex {

using namespace rulekit;

namespace {

struct Step {
    int interval; // from the tone before (for row 1: from the last row)
    double duration;
    std::int16_t volume;
    bool operator<(const Step& o) const {
        return std::tie(interval, duration, volume) < std::tie(o.interval, o.duration, o.volume);
    }
};

} // namespace

int Regel07(RuleContext& ctx, const PatternTables& p) {
    startRule(ctx, "Regel 07");
    Settings& s = ctx.s;
    const Pattern& p01 = p.Pattern01;
    ToneWriter w(ctx.melody);
    ctx.Versuche = 0;
    if (p01.Zeilen == 0) failRule(ctx, emptyPatternText(p.Pattern01Datei));
    if (s.HOCHTON < s.TIEFTON)
        failRule(ctx, "HOCHTON (" + plainText(s.HOCHTON) + ") ist kleiner als TIEFTON (" +
                          plainText(s.TIEFTON) + ") - es werden keine Töne berechnet.");
    ctx.c.Text1.visible = true;

    // Each distinct step gets a number; a context is the numbers of the last `order` steps.
    const int n = p01.Zeilen;
    const int order = s.MARKOVORDNUNG == 2 ? 2 : 1;
    std::vector<Step> steps;
    std::map<Step, int> numbers;
    std::vector<int> id(static_cast<size_t>(n));
    for (int r = 1; r <= n; ++r) {
        auto k = static_cast<size_t>(r);
        const int before = r == 1 ? n : r - 1;
        Step st{p01.Tonhoehe[k] - p01.Tonhoehe[static_cast<size_t>(before)], p01.Tondauer[k],
                p01.Lautstaerke[k]};
        auto [it, added] = numbers.emplace(st, static_cast<int>(steps.size()));
        if (added) steps.push_back(st);
        id[k - 1] = it->second;
    }
    const auto distinct = static_cast<long long>(steps.size());
    auto key = [&](int a, int b) { return order == 1 ? b : a * distinct + b; };
    // Context -> the steps that follow it in the loop, once per occurrence (their weights).
    std::map<long long, std::vector<int>> followers;
    for (int j = 0; j < n; ++j) {
        const int a = id[static_cast<size_t>((j + n - 1) % n)], b = id[static_cast<size_t>(j)];
        followers[key(a, b)].push_back(id[static_cast<size_t>((j + 1) % n)]);
    }
    ctx.c.Zuordnung.add("");
    ctx.c.Zuordnung.add("Markow-Kette der Ordnung " + plainText(order) + ": " +
                        plainText(static_cast<long long>(followers.size())) + " Zustände");

    const int lo = s.TIEFTON, hi = s.HOCHTON;
    auto inRange = [&](int pitch) { return std::clamp(pitch, lo, hi); };
    // The first `order` tones follow the loop's first steps from the start tone.
    int pitch = inRange(s.STARTTON);
    int a = id[static_cast<size_t>(n - 1)], b = id[0];
    w.add(pitch, steps[static_cast<size_t>(b)].volume, steps[static_cast<size_t>(b)].duration);
    if (order == 2 && s.toneCount >= 2) {
        a = b;
        b = id[static_cast<size_t>(1 % n)];
        pitch = inRange(pitch + steps[static_cast<size_t>(b)].interval);
        w.add(pitch, steps[static_cast<size_t>(b)].volume, steps[static_cast<size_t>(b)].duration);
    }
    std::vector<int> fitting;
    while (w.index() < s.toneCount && !w.stopHere()) {
        const std::vector<int>& next = followers[key(a, b)];
        // Drawing again until a step stays in range picks among the fitting ones alike.
        fitting.clear();
        for (int c : next)
            if (int t = pitch + steps[static_cast<size_t>(c)].interval; t >= lo && t <= hi)
                fitting.push_back(c);
        const std::vector<int>& from = fitting.empty() ? next : fitting;
        const double count = static_cast<double>(from.size());
        const auto pick = static_cast<size_t>(
            std::clamp(intFloor(static_cast<double>(draw(ctx)) * count), 0.0, count - 1));
        waitAfterDraw(ctx);
        a = b;
        b = from[pick];
        const Step& st = steps[static_cast<size_t>(b)];
        pitch = inRange(pitch + st.interval); // with no fitting step: the nearest tone in range
        w.add(pitch, st.volume, st.duration);
        progress(ctx, w.index(), s.toneCount);
    }

    return endPatternRule(ctx, w);
}

} // namespace tonfex
