#include "sampler/tuning.h"

#include "core/errors.h"
#include "core/numbers.h"
#include "core/wait.h"
#include "core/zufall.h"

#include <algorithm>
#include <cmath>

namespace tonfex {

std::string missingSampleQuestion(double sound, std::int32_t tone) {
    const std::string n = plainText(static_cast<long long>(tone));
    if (sound == 2)
        return "Das Programm möchte ein Sample von der Zeile " + n + " in der Datei\r\n\r\n" +
               "Tonfex-HC.txt wiedergeben. Dort ist aber kein Sample eingetragen! \r\n\r\n" +
               "Nur die erste Zeile in Tonfex-HC.txt verwenden? (Nein = Programmabbruch!)";
    return "Das Programm möchte ein Sample Nummer " + n + " aus der Datei Tonfex-HCR.rpp \r\n\r\n" +
           "wiedergeben. Diese Datei enthält aber nur eine geringere Zahl von Samples! \r\n\r\n" +
           "Nur das erste Sample aus Tonfex-HCR.rpp verwenden? (Nein = Programmabbruch!)";
}

EntryCache::EntryCache(const std::vector<std::string>& table, std::int32_t Samplezahl)
    : table_(table), Samplezahl_(std::clamp(Samplezahl, 0, kCatalogMaxEntries)),
      entries_(static_cast<size_t>(Samplezahl_) + 1), split_(entries_.size()) {}

const SampleEntry& EntryCache::row(long k) {
    const size_t at = k >= 1 && k <= Samplezahl_ ? static_cast<size_t>(k) : 0;
    if (split_[at]) return entries_[at];
    split_[at] = true;
    SampleEntry& e = entries_[at];
    const std::string& text = catalogEntry(table_, Samplezahl_, static_cast<long>(at));
    e.empty = text.empty();
    e.NAME = entryName(text);
    e.fields = Eintragsleser(text, e.NAME);
    e.DT = numericPrefix(e.fields.DT);
    e.ZTP = numericPrefix(e.fields.ZTP);
    e.HT = numericPrefix(e.fields.HT);
    e.LT1 = numericPrefix(e.fields.LT1);
    e.LT2 = numericPrefix(e.fields.LT2);
    return e;
}

SampleChooser::SampleChooser(Settings& s, const Melody& melody, EntryCache& entries,
                             std::int32_t Samplezahl, std::int16_t lowestTone, SamplerState& state,
                             Platform& platform, ListBox& Daten)
    : s_(s), melody_(melody), entries_(entries), Samplezahl_(Samplezahl), lowest_(lowestTone),
      state_(state), platform_(platform), Daten_(Daten) {}

std::int16_t SampleChooser::draw(std::int32_t lo, std::int32_t hi) {
    state_.Zufallswert = static_cast<std::int16_t>(Zufallszahl(platform_.random, lo, hi));
    return state_.Zufallswert;
}

ToneSample SampleChooser::choose(int i) {
    const auto at = static_cast<size_t>(i);
    const std::int16_t tone = melody_.Tonhoehe[at];
    const int ktp = s_.KEYTRANSPOSE;
    ToneSample out;

    // Sample choice; a negative KEYTRANSPOSE counts as 0.
    if (ktp <= 0) {
        out.entry = &entries_.row(tone);
    } else if (ktp == 2) {
        std::int32_t row = Zufallszahl(platform_.random, 1, Samplezahl_);
        state_.Zufallswert = static_cast<std::int16_t>(row);
        state_.Samplezeile[at] = static_cast<std::int16_t>(row);
        out.entry = &entries_.row(row);
    } else if (ktp == 3) {
        if (++sequence_ > Samplezahl_) sequence_ = 1;
        state_.Samplezeile[at] = static_cast<std::int16_t>(sequence_);
        out.entry = &entries_.row(sequence_);
    } else {
        out.entry = &entries_.row(1);
    }

    state_.keytransposeTerm = ktp >= 1 && ktp <= 3 ? tone - lowest_ : 0.0;

    if (out.entry->empty && !s_.NurErstesSample) {
        if (!platform_.dialogs.ask("FEHLER", missingSampleQuestion(s_.sound(), tone)))
            throw ProgramEnd();
        s_.NurErstesSample = true;
    }
    if (s_.NurErstesSample) {
        out.entry = &entries_.row(1);
        // Sample 1 itself is empty: an item without a file would be written.
        if (out.entry->empty)
            failCommand(platform_.dialogs,
                        "Auch das erste Sample des Samplekatalogs ist leer; das REAPER-Projekt "
                        "wird nicht geschrieben.");
    }

    const int stn = s_.SAMPLETUNING;
    const double count = melody_.Tonzaehler[at];
    if (stn == 0)
        state_.tuningTerm = 0;
    else if (stn == 1 || stn == 2 || stn == 4)
        state_.tuningTerm = (count - 1) * s_.TONHOHENANDERUNGSFAKTOR;
    else if (stn == 3)
        state_.tuningTerm = randomTransposition(i);

    const int stp = s_.SAMPLESTARTPUNKTMODUS;
    if (stp == 0)
        state_.startShiftTerm = 0;
    else if (stp == 1 || stp == 2)
        state_.startShiftTerm = (count - 1) * s_.SAMPLEVERSCHIEBUNGSFAKTOR;

    const double d = stn == 4 ? -state_.tuningTerm : state_.tuningTerm;
    out.pitch = s_.SAMPLEOFFSETTUNE + d + state_.keytransposeTerm + out.entry->HT;
    out.start = state_.startShiftTerm + out.entry->ZTP + s_.SAMPLEOFFSETSTART;
    return out;
}

namespace {

// Whether some integer z in -q..q gives z * factor within lo..hi. The values z * factor are
// monotonic in z, so the ends of the range and the integers around the limits decide.
bool someDrawFits(std::int32_t q, double factor, double lo, double hi) {
    auto fits = [&](std::int32_t z) {
        double t = z * factor;
        return t >= lo && t <= hi;
    };
    if (fits(-q) || fits(q)) return true;
    if (factor == 0) return false;
    for (double limit : {lo / factor, hi / factor}) {
        if (!std::isfinite(limit)) continue;
        double near =
            std::clamp(std::round(limit), -static_cast<double>(q) - 2, static_cast<double>(q) + 2);
        for (int step = -2; step <= 2; ++step) {
            double z = near + step;
            if (z >= -q && z <= q && fits(static_cast<std::int32_t>(z))) return true;
        }
    }
    return false;
}

} // namespace

double SampleChooser::randomTransposition(int i) {
    const std::int32_t q = std::max<std::int32_t>(0, melody_.Tonzaehler[static_cast<size_t>(i)]);
    const double factor = s_.TONHOHENANDERUNGSFAKTOR;
    const double lo = s_.SAMPLETRANSU, hi = s_.SAMPLETRANSO;
    const bool canFit = someDrawFits(q, factor, lo, hi);
    auto canAvoid = [&] {
        std::int32_t taken = 0;
        if (previous1_ >= -q && previous1_ <= q) ++taken;
        if (previous2_ != previous1_ && previous2_ >= -q && previous2_ <= q) ++taken;
        return 2 * q + 1 > taken;
    };
    int n = 0;
    double t = 0;
    for (;;) {
        std::int32_t z = 0;
        bool avoid = canAvoid();
        do {
            z = draw(-q, q);
            if (platform_.random.seed() == 0)
                Verzoegerung(platform_.clock, platform_.events, s_.VERZOGERUNG * 0.001);
            ++n;
        } while (avoid && n < kAvoidDraws && (z == previous1_ || z == previous2_));
        previous2_ = previous1_;
        previous1_ = z;
        t = z * factor;
        if (t >= lo && t <= hi) break;
        // No draw can fit, or the bound is reached: the nearest limit of the range is used.
        if (!canFit || n >= kMaxDrawsPerTone) {
            t = t < lo ? lo : hi;
            break;
        }
    }
    Daten_.add("Ton " + plainText(i) + ": Transposition " + plainText(t, s_.decimal));
    return t;
}

} // namespace tonfex
