// Prints how fast the rules make tones at their largest sizes, drawing from seed 42 (so without
// the VERZOGERUNG waits), with the display wait each rule starts with printed apart (it passes
// on a manual clock); how long the counting routines take for 32767 tones; and the Generate
// command with the template settings and 1000 tones, with and without a seed.
#include "app/app.h"
#include "app/defaults.h"
#include "generation/rules.h"
#include "generation/statistik.h"
#include "platform/doubles.h"

#include <chrono>
#include <cstdio>
#include <functional>

using namespace tonfex;

namespace {

double secondsOf(const std::function<void()>& work) {
    auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void fill(Pattern& p, int rows, int low, int span, double longEvery, double longValue) {
    p.Zeilen = rows;
    for (int r = 1; r <= rows; ++r) {
        auto k = static_cast<size_t>(r);
        p.Tonhoehe[k] = static_cast<std::int16_t>(low + (r * 7) % span);
        p.Lautstaerke[k] = 100;
        p.Tondauer[k] = longEvery > 0 && r % static_cast<int>(longEvery) == 0 ? longValue : 3;
    }
}

} // namespace

int main() {
    auto dir = std::filesystem::temp_directory_path() / "tonfex-bench-rules";
    std::filesystem::create_directories(dir);
    WorkFolder folder{dir};

    TestPlatform tp;
    ClockRandom random;
    DiskFiles files;
    NoEvents events;
    Platform platform{tp.dialogs, tp.clipboard, tp.programs, tp.windows,
                      tp.clock,   events,       random,      files};
    Settings s;
    Melody melody;
    MainControls c;
    std::string Regelname;
    std::int16_t Versuche = 0;
    RuleContext ctx{s, melody, c, platform, folder, Regelname, Versuche, 0};
    Pattern puffer, p01, p02;
    std::string name01 = folder.text(names::pattern01), name02 = folder.text(names::pattern02);
    PatternTables tables{puffer, p01, p02, name01, name02};

    auto fresh = [&] {
        s = Settings{};
        s.SOUND.assign(1, '1'); // assign: GCC 12 warns wrongly on a literal here
        s.VERZOGERUNG = 0;
        c.Daten.clear();
        c.Zuordnung.clear();
    };
    random.useSeed(42);
    double waited = 0; // the display waits of the last rule run, on the manual clock
    auto secondsOfRule = [&](const std::function<void()>& work) {
        const double before = tp.clock.seconds;
        const double seconds = secondsOf(work);
        waited = tp.clock.seconds - before;
        return seconds;
    };
    auto report = [&](const char* what, int tones, double seconds) {
        std::printf("%-58s %6d tones %8.3f s %12.0f tones/s  + display wait %.1f s\n", what, tones,
                    seconds, tones / seconds, waited);
    };
    std::printf("Seed 42 for every rule.\n");

    fresh();
    s.toneCount = 32767, s.TIEFTON = 1, s.HOCHTON = 127, s.INTERVALL = 127;
    double t = secondsOfRule([&] { Regel01(ctx); });
    report("Regel 01 (10000 passes, all accepted, with Statistik)", melody.Tonzahl, t);

    fresh();
    s.toneCount = 5000, s.TIEFTON = 1, s.HOCHTON = 1000, s.SAMPLELOOPS = 4;
    t = secondsOfRule([&] { Regel02(ctx); });
    report("Regel 02 (1000 tones, loop counts for 1000 numbers)", melody.Tonzahl, t);

    fresh();
    fill(p02, 1, 60, 1, 0, 0);
    s.WIEVIELELOOPS = 32767, s.UNTERGRENZE = -20, s.OBERGRENZE = 310;
    s.WIEDERHOLUNGSDISTANZ = 15;
    t = secondsOfRule([&] { melody.Tonzahl = static_cast<std::int16_t>(Regel03(ctx, tables)); });
    report("Regel 03 (one-row pattern, 32767 passes, distance 15)", melody.Tonzahl, t);

    fresh();
    fill(p02, 1000, 50, 3, 0, 0);
    s.WIEVIELELOOPS = 32767;
    t = secondsOfRule([&] { melody.Tonzahl = static_cast<std::int16_t>(Regel04(ctx, tables)); });
    report("Regel 04 (1000 rows, up to the 32767-tone limit)", melody.Tonzahl, t);

    fresh();
    fill(p01, 1000, 40, 16, 4, 6);
    fill(p02, 1000, 55, 24, 0, 0);
    s.WIEVIELELOOPS = 32767, s.KURZTON = 1, s.LANGTON = 8;
    t = secondsOfRule([&] { melody.Tonzahl = static_cast<std::int16_t>(Regel05(ctx, tables)); });
    report("Regel 05 (patterns of 1000 rows, up to the limit)", melody.Tonzahl, t);

    fresh();
    fill(p01, 1000, 40, 16, 4, 400);
    s.WIEVIELELOOPS = 32767, s.VORRUCK01 = s.VORRUCK02 = true;
    t = secondsOfRule([&] { melody.Tonzahl = static_cast<std::int16_t>(Regel06(ctx, tables)); });
    report("Regel 06 (patterns of 1000 rows, both directions, to the limit)", melody.Tonzahl, t);

    fresh();
    fill(p01, 1000, 40, 16, 0, 0);
    s.toneCount = 32767, s.TIEFTON = 30, s.HOCHTON = 90, s.STARTTON = 60;
    for (const std::int16_t order : {std::int16_t{1}, std::int16_t{2}}) {
        s.MARKOVORDNUNG = order;
        t = secondsOfRule(
            [&] { melody.Tonzahl = static_cast<std::int16_t>(Regel07(ctx, tables)); });
        report(order == 1 ? "Regel 07 (Markov order 1, pattern of 1000 rows, to the limit)"
                          : "Regel 07 (Markov order 2, pattern of 1000 rows, to the limit)",
               melody.Tonzahl, t);
    }

    fresh();
    fill(p02, 12, 60, 12, 0, 0);
    s.WIEVIELELOOPS = 2730, s.UNTERGRENZE = -6, s.OBERGRENZE = 6, s.WIEDERHOLUNGSDISTANZ = 6;
    t = secondsOfRule([&] { melody.Tonzahl = static_cast<std::int16_t>(Regel08(ctx, tables)); });
    report("Regel 08 (twelve-tone row, 2730 passes, distance 6)", melody.Tonzahl, t);

    fresh();
    fill(p02, 1000, 50, 13, 0, 0);
    s.toneCount = 32767, s.TIEFTON = 30, s.HOCHTON = 90, s.STARTTON = 60;
    t = secondsOfRule([&] { melody.Tonzahl = static_cast<std::int16_t>(Regel09(ctx, tables)); });
    report("Regel 09 (steps of a 1000-row pattern, to the limit)", melody.Tonzahl, t);
    random.useSeed(0);

    // Counting 32767 tones of 331 different pitches.
    for (int k = 1; k <= 32767; ++k)
        melody.Tonhoehe[static_cast<size_t>(k)] = static_cast<std::int16_t>((k * 37) % 331);
    constexpr int kRounds = 100;
    for (CountMode mode : {CountMode::Total, CountMode::Running}) {
        t = secondsOf([&] {
            for (int r = 0; r < kRounds; ++r)
                countPitches(melody.Tonhoehe, 32767, mode, melody.Tonzaehler);
        });
        std::printf("counting 32767 tones (%s): %.3f ms per call\n",
                    mode == CountMode::Total ? "total counts" : "running numbers",
                    t / kRounds * 1000);
    }
    fresh();
    s.SAMPLETUNING = 2;
    t = secondsOf([&] { StatistikTuning(ctx, 32767); });
    std::printf("StatistikTuning on 32767 tones with its file and list lines: %.3f ms\n", t * 1000);
    fresh();
    t = secondsOf([&] { Statistik(ctx, 32767); });
    std::printf("Statistik on 32767 tones with its file and list lines: %.3f ms\n", t * 1000);

    // "Neu" with the template (SOUND 3, Regel 01, 1000 tones, VERZOGERUNG 10) on a fresh
    // working folder: computing and writing on the real clock, the waits on the manual one.
    for (std::int32_t seed : {42, 0}) {
        auto work = dir / "arbeit";
        std::filesystem::remove_all(work);
        WorkFolder arbeit{work};
        ensureWorkFolder(files, arbeit);
        App app(platform, arbeit, '.');
        app.seedOverride = seed;
        app.Form_Load();
        const double before = tp.clock.seconds;
        t = secondsOf([&] { app.Dateiherstellung_Click(); });
        std::printf("neu, template settings, %s: %d tones in %.3f s; waits %.1f s%s\n",
                    seed ? "seed 42" : "no seed", app.melody.Tonzahl, t,
                    tp.clock.seconds - before,
                    seed ? " (display only: 0.9 s before the rule, its 0.3 s, 0.9 s of the play)"
                         : " (the display waits and VERZOGERUNG after every draw)");
    }

    for (const auto& record : tp.dialogs.records)
        std::printf("message: %s\n", record.text.c_str());
    std::filesystem::remove_all(dir);
    return 0;
}
