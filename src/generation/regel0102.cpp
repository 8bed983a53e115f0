// Regel 01 and Regel 02: melodies from random numbers alone.
#include "core/numbers.h"
#include "core/zufall.h"
#include "generation/rulekit.h"
#include "generation/statistik.h"

#include <algorithm>
#include <vector>

namespace tonfex {

using namespace rulekit;

namespace {

// Steps 4 to 9 of the start both rules share. A range without tones (HOCHTON below TIEFTON,
// also after the sample count lowered HOCHTON) ends the command before any draw from it.
void commonStart(RuleContext& ctx) {
    Settings& s = ctx.s;
    ctx.melody.erase();
    ctx.melody.Tonzahl = 0;
    if (s.toneCount > 0) {
        ctx.c.Daten.add("  " + plainText(s.toneCount) + " Töne");
        ctx.c.Daten.add("  werden berechnet");
    }
    if (s.TRACKZAHL == 1) s.AUTOPAN = 0;
    if (s.sampleMode() && s.HOCHTON > ctx.Samplezahl) s.HOCHTON = ctx.Samplezahl;
    if (s.HOCHTON < s.TIEFTON) {
        std::string text = "HOCHTON (" + plainText(s.HOCHTON) + ") ist kleiner als TIEFTON (" +
                           plainText(s.TIEFTON) + ") - es werden keine Töne berechnet.";
        if (s.sampleMode())
            text += " Im SAMPLE-Modus ist HOCHTON höchstens die Anzahl der Samples (" +
                    plainText(ctx.Samplezahl) + ").";
        failRule(ctx, text);
    }
    if (s.INTERVALL > s.HOCHTON - s.TIEFTON) s.INTERVALL = clamp16(s.HOCHTON);
    ctx.Versuche = 0;
    ctx.c.Text1.visible = true;
}

// Int(Rnd * (HOCHTON - TIEFTON + 1)) + TIEFTON.
double drawPitch(RuleContext& ctx) {
    double width = static_cast<double>(ctx.s.HOCHTON) - ctx.s.TIEFTON + 1;
    return intFloor(static_cast<double>(draw(ctx)) * width) + ctx.s.TIEFTON;
}

// CInt(Int(Rnd * LAUTVAR) + (127 - LAUTVAR) + 1): 128 - LAUTVAR .. 127.
std::int16_t drawVolume(RuleContext& ctx) {
    double lautvar = ctx.s.LAUTVAR;
    return clamp16(intFloor(static_cast<double>(draw(ctx)) * lautvar) + (127 - lautvar) + 1);
}

// Int(Rnd * NOTENWERT) + 1: 1 .. NOTENWERT.
double drawDuration(RuleContext& ctx) {
    return intFloor(static_cast<double>(draw(ctx)) * ctx.s.NOTENWERT) + 1;
}

bool accepted(std::int16_t kleinergrosser, int d, int intervall) {
    switch (kleinergrosser) {
    case 1:
        return d <= intervall;
    case 2:
        return d >= intervall;
    case 3:
        return d == intervall;
    default:
        return false;
    }
}

void commonEnd(RuleContext& ctx, int i, bool regel01) {
    ctx.c.Text1.visible = false;
    if (regel01 && ctx.s.SAMPLETUNING == 0 && ctx.s.SAMPLESTARTPUNKTMODUS == 0) Statistik(ctx, i);
    patternStatistics(ctx, i);
    ctx.melody.Tonzahl = static_cast<std::int16_t>(i);
}

} // namespace

void Regel01(RuleContext& ctx) {
    startRule(ctx, "Regel 01");
    commonStart(ctx);
    Settings& s = ctx.s;
    Melody& m = ctx.melody;
    int i = 0;
    std::int16_t v = s.STARTTON;
    while (i != s.toneCount && ctx.Versuche != 10000) {
        ++ctx.Versuche;
        double t = drawPitch(ctx);
        waitAfterDraw(ctx);
        int d = clamp16(std::abs(t - v));
        if (accepted(s.KLEINERGROSSER, d, s.INTERVALL)) {
            ++i;
            auto k = static_cast<size_t>(i);
            m.Tonhoehe[k] = clamp16(t);
            v = m.Tonhoehe[k];
            m.Lautstaerke[k] = drawVolume(ctx);
            m.Tondauer[k] = drawDuration(ctx);
            waitAfterDraw(ctx);
        }
        progress(ctx, i, ctx.s.toneCount);
    }
    commonEnd(ctx, i, true);
}

void Regel02(RuleContext& ctx) {
    startRule(ctx, "Regel 02");
    Settings& s = ctx.s;

    // Repeat counts. A count below 1 would index nothing sensible: SAMPLELOOPS below 1 is 1.
    const int loopanzahl = std::max<int>(s.SAMPLELOOPS, 1);
    for (const char* line : {"Speziell in Regel 2:", "Für jeden Ton wird die",
                             "Anzahl der Wiederholungen", "berechnet"})
        ctx.c.Daten.add(line);
    ctx.c.Zuordnung.add("");
    ctx.c.Zuordnung.add("Loops:");
    // In the sample modes every catalogued sample gets a count; in MIDI mode, where no
    // catalogue is read, every tone number up to HOCHTON.
    const int toneNumbers =
        std::clamp<std::int32_t>(s.sampleMode() ? ctx.Samplezahl : s.HOCHTON, 0, 32767);
    std::vector<std::int16_t> loops(static_cast<size_t>(toneNumbers) + 1, 0);
    std::vector<std::int32_t> haeufigkeit(static_cast<size_t>(loopanzahl) + 1, 0);
    for (int j = 1; j <= toneNumbers; ++j) {
        auto count = static_cast<std::int16_t>(
            Zufallszahl(ctx.platform.random, 1, static_cast<std::int16_t>(loopanzahl)));
        waitAfterDraw(ctx);
        loops[static_cast<size_t>(j)] = count;
        ctx.c.Zuordnung.add("Ton " + plainText(j) + " immer " + plainText(count) + " mal");
        ++haeufigkeit[static_cast<size_t>(count)];
    }
    ctx.c.Daten.clear();
    ctx.c.Daten.add("");

    commonStart(ctx);
    Melody& m = ctx.melody;
    auto loopsOf = [&](double t) -> int {
        return t >= 0 && t < static_cast<double>(loops.size()) ? loops[static_cast<size_t>(t)] : 0;
    };
    int i = 0;
    std::int16_t v = 0;
    int n = 0;
    while (i != s.toneCount && ctx.Versuche != 1000) {
        ++i;
        ++ctx.Versuche;
        auto k = static_cast<size_t>(i);
        double t = drawPitch(ctx);
        waitAfterDraw(ctx);
        if (n != 0) {
            m.Tonhoehe[k] = v;
        } else {
            m.Tonhoehe[k] = clamp16(t);
            n = loopsOf(t);
        }
        v = m.Tonhoehe[k];
        m.Lautstaerke[k] = drawVolume(ctx);
        waitAfterDraw(ctx);
        m.Tondauer[k] = drawDuration(ctx);
        waitAfterDraw(ctx);
        progress(ctx, i, ctx.s.toneCount);
        if (n >= 1) --n;
    }

    ctx.c.Zuordnung.add("");
    for (int j = 1; j <= loopanzahl; ++j)
        ctx.c.Zuordnung.add(plainText(j) + "-fach-Loop: " +
                            plainText(haeufigkeit[static_cast<size_t>(j)]) + " mal");
    ctx.c.Zuordnung.add("");
    commonEnd(ctx, i, false);
}

} // namespace tonfex
