#include "generation/statistik.h"

#include "core/numbers.h"
#include "core/textfile.h"
#include "generation/rulekit.h"

#include <algorithm>
#include <optional>

namespace tonfex {

void countPitches(const std::vector<std::int16_t>& pitches, int n, CountMode mode,
                  std::vector<std::int16_t>& counts) {
    // One counter per possible 16-bit pitch, indexed by pitch + 32768.
    std::vector<std::int32_t> seen(65536, 0);
    auto slot = [&](int k) -> std::int32_t& {
        return seen[static_cast<size_t>(pitches[static_cast<size_t>(k)] + 32768)];
    };
    auto store = [&](int k, std::int32_t value) {
        counts[static_cast<size_t>(k)] = static_cast<std::int16_t>(std::min(value, 32767));
    };
    if (mode == CountMode::Total) {
        for (int k = 1; k <= n; ++k)
            ++slot(k);
        for (int k = 1; k <= n; ++k)
            store(k, slot(k));
    } else {
        for (int k = 1; k <= n; ++k)
            store(k, ++slot(k));
    }
}

namespace {

// Counts into Tonzaehler, writes the statistics file and lists the report in Zuordnung.
// `form` is the line form, none for modes that have no lines.
void countAndReport(RuleContext& ctx, int n, CountMode mode, std::optional<CountMode> form,
                    bool blankLinesFirst) {
    countPitches(ctx.melody.Tonhoehe, n, mode, ctx.melody.Tonzaehler);

    LocalTime now = ctx.platform.clock.now();
    std::vector<std::string> file = {dateText(now) + "  " + timeText(now), ""};
    std::vector<std::string> list;
    if (form) {
        file.reserve(static_cast<size_t>(n) + 2);
        list.reserve(static_cast<size_t>(n));
        for (int k = 1; k <= n; ++k) {
            std::string pos = plainText(k);
            std::string pitch = plainText(ctx.melody.Tonhoehe[static_cast<size_t>(k)]);
            std::string count = plainText(ctx.melody.Tonzaehler[static_cast<size_t>(k)]);
            if (*form == CountMode::Total) {
                file.push_back(pos + ". die Tonnummer " + pitch + " kommt " + count + " mal vor");
                list.push_back(pos + ". Tonnummer " + pitch + " kommt " + count + " mal vor");
            } else {
                file.push_back(pos + ". die Tonnummer " + pitch + " erscheint zum " + count +
                               ". mal");
                list.push_back(pos + ". Tonnummer " + pitch + " zum " + count + ". mal");
            }
        }
    }
    std::string error =
        writeTextLines(ctx.platform.files, ctx.folder.path(names::statistics), file);
    if (!error.empty())
        rulekit::tellError(ctx, "Die Statistikdatei " + ctx.folder.text(names::statistics) +
                                    " konnte nicht geschrieben werden: " + error);

    ListBox& z = ctx.c.Zuordnung;
    if (blankLinesFirst) {
        z.add("");
        z.add("");
    }
    z.add("Statistik (siehe auch:");
    z.add(ctx.folder.text(names::statistics) + "):");
    z.add("");
    for (auto& line : list)
        z.add(std::move(line));
}

} // namespace

void Statistik(RuleContext& ctx, int n) {
    countAndReport(ctx, n, CountMode::Total, CountMode::Total, true);
}

void StatistikTuning(RuleContext& ctx, int n) {
    std::int16_t st = ctx.s.SAMPLETUNING;
    bool running = st == 2 || st == 4;
    std::optional<CountMode> form;
    if (st == 1 || st == 3) form = CountMode::Total;
    if (running) form = CountMode::Running;
    countAndReport(ctx, n, running ? CountMode::Running : CountMode::Total, form, false);
}

void StatistikStartpunkt(RuleContext& ctx, int n) {
    std::int16_t sp = ctx.s.SAMPLESTARTPUNKTMODUS;
    std::optional<CountMode> form;
    if (sp == 1) form = CountMode::Total;
    if (sp == 2) form = CountMode::Running;
    countAndReport(ctx, n, sp == 2 ? CountMode::Running : CountMode::Total, form, false);
}

void patternStatistics(RuleContext& ctx, int n) {
    if (ctx.s.SAMPLETUNING > 0) StatistikTuning(ctx, n);
    if (ctx.s.SAMPLESTARTPUNKTMODUS > 0) StatistikStartpunkt(ctx, n);
}

} // namespace tonfex
