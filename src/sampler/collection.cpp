#include "sampler/collection.h"

#include "core/numbers.h"
#include "sampler/catalog.h"
#include "sampler/writer.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace tonfex {

const std::vector<DefaultSample>& defaultSamples() {
    static const std::vector<DefaultSample> samples = [] {
        static const char* const notes[] = {"C4", "Cis4", "D4", "Dis4", "E4", "F4", "Fis4",
                                            "G4", "Gis4", "A4", "Ais4", "H4", "C5"};
        std::vector<DefaultSample> out;
        for (int k = 0; k < 13; ++k) {
            char name[32];
            std::snprintf(name, sizeof name, "Tonfex-Mallet-%02d", k + 1);
            // Equal temperament from A4 = 440 Hz; C4 lies nine semitones below it.
            out.push_back({name, notes[k], 440.0 * std::pow(2.0, (k - 9) / 12.0)});
        }
        return out;
    }();
    return samples;
}

namespace {

void put16(std::string& out, std::uint16_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>(v >> 8);
}

void put32(std::string& out, std::uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8)
        out += static_cast<char>((v >> shift) & 0xFF);
}

} // namespace

std::string malletWave(double frequency, double seconds) {
    const double pi = std::acos(-1.0);
    const auto frames = static_cast<std::uint32_t>(seconds * kSampleRate);
    std::vector<double> signal(frames);
    // A marimba-like bar: partials near 1, 4 and 10 times the fundamental, the higher ones
    // dying away faster, a short strike and a short release so that no item clicks.
    const double partials[3][3] = {{1.0, 1.0, 0.55}, {3.93, 0.45, 0.12}, {9.87, 0.2, 0.035}};
    double peak = 0;
    for (std::uint32_t n = 0; n < frames; ++n) {
        double t = static_cast<double>(n) / kSampleRate;
        double v = 0;
        for (const auto& p : partials)
            if (p[0] * frequency < kSampleRate / 2.0)
                v += p[1] * std::sin(2 * pi * p[0] * frequency * t) * std::exp(-t / p[2]);
        double attack = std::min(1.0, t / 0.003);
        double release = std::min(1.0, (seconds - t) / 0.02);
        signal[n] = v * attack * std::max(0.0, release);
        peak = std::max(peak, std::abs(signal[n]));
    }
    const double gain = peak > 0 ? 0.8 * 32767 / peak : 0;

    std::string out;
    const std::uint32_t dataBytes = frames * 2;
    out.reserve(44 + dataBytes);
    out += "RIFF";
    put32(out, 36 + dataBytes);
    out += "WAVEfmt ";
    put32(out, 16);
    put16(out, 1); // PCM
    put16(out, 1); // mono
    put32(out, kSampleRate);
    put32(out, kSampleRate * 2);
    put16(out, 2);
    put16(out, 16);
    out += "data";
    put32(out, dataBytes);
    for (double v : signal)
        put16(out, static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(v * gain))));
    return out;
}

const std::vector<std::string>& defaultSampleWaves() {
    static const std::vector<std::string> waves = [] {
        std::vector<std::string> out;
        for (const auto& sample : defaultSamples())
            out.push_back(malletWave(sample.frequency));
        return out;
    }();
    return waves;
}

namespace {

std::vector<std::string> projectHeadLines(const std::string& renderLine) {
    return {
        "<REAPER_PROJECT 0.1 \"6.0/Tonfex\" 1700000000",
        "  RIPPLE 0",
        "  GROUPOVERRIDE 0 0 0",
        "  AUTOXFADE 1",
        "  ENVATTACH 1",
        "  PANLAW 1",
        "  PROJOFFS 0 0 0",
        "  MAXPROJLEN 0 600",
        "  GRID 3199 8 1 8 1 0 0 0",
        "  TIMEMODE 1 5 -1 30 0 0 -1",
        "  PANMODE 3",
        "  CURSOR 0",
        "  ZOOM 100 0 0",
        "  VZOOMEX 6 0",
        "  USE_REC_CFG 0",
        "  RECMODE 1",
        "  LOOP 0",
        "  LOOPGRAN 0 4",
        "  RECORD_PATH \"\" \"\"",
        renderLine,
        "  RENDER_PATTERN \"\"",
        "  RENDER_FMT 0 2 0",
        "  RENDER_1X 0",
        "  RENDER_RANGE 1 0 0 18 1000",
        "  RENDER_RESAMPLE 3 0 1",
        "  RENDER_ADDTOPROJ 0",
        "  RENDER_STEMS 0",
        "  RENDER_DITHER 0",
        "  TIMELOCKMODE 1",
        "  TEMPOENVLOCKMODE 1",
        "  ITEMMIX 0",
        "  DEFPITCHMODE 589824 0",
        "  TAKELANE 1",
        "  SAMPLERATE 44100 0 0",
        "  LOCK 1",
        "  GLOBAL_AUTO -1",
        "  TEMPO 120 4 4",
        "  PLAYRATE 1 0 0.25 4",
        "  SELECTION 0 0",
        "  SELECTION2 0 0",
        "  MASTERAUTOMODE 0",
        "  MASTERTRACKHEIGHT 0 0",
        "  MASTERPEAKCOL 16576",
        "  MASTERMUTESOLO 0",
        "  MASTERHWOUT 0 0 1 0 0 0 0 -1",
        "  MASTER_NCH 2 2",
        "  MASTER_VOLUME 1 0 -1 -1 1",
        "  MASTER_FX 1",
        "  MASTER_SEL 0",
        "  <TEMPOENVEX",
        "    EGUID {5A8B8C3E-2F64-4C1B-9D1E-7B0F6A1C2D31}",
        "    ACT 0 -1",
        "    VIS 1 0 1",
        "    LANEHEIGHT 0 0",
        "    ARM 0",
        "    DEFSHAPE 1 -1 -1",
        "  >",
        "  <PROJBAY",
        "  >",
    };
}

std::string fixed14(double v) {
    char buf[400]; // to_chars, unlike printf, never takes the process locale's separator
    return std::string(buf,
                       std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 14).ptr);
}

} // namespace

std::vector<std::string> defaultProjectHead(const WorkFolder& folder) {
    return projectHeadLines(templateRenderLine(folder));
}

std::vector<std::string> defaultTrackHead() {
    return {
        "  <TRACK",
        "    NAME Tonfex",
        "    PEAKCOL 16576",
        "    BEAT -1",
        "    AUTOMODE 0",
        kCentredTrackVolpan,
        "    MUTESOLO 0 0 0",
        "    IPHASE 0",
        "    PLAYOFFS 0 1",
        "    ISBUS 0 0",
        "    BUSCOMP 0 0 0 0 0",
        "    SHOWINMIX 1 0.6667 0.5 1 0.5 0 0 0",
        "    SEL 0",
        "    REC 0 0 1 0 0 0 0",
        "    VU 2",
        "    TRACKHEIGHT 0 0 0 0 0 0",
        "    INQ 0 0 0 0.5 100 0 0 100",
        "    NCHAN 2",
        "    FX 1",
        "    PERF 0",
        "    MIDIOUT -1",
        "    MAINSEND 1 0",
    };
}

std::vector<std::string> defaultSampleProject(const WorkFolder& folder) {
    std::vector<std::string> lines =
        projectHeadLines("  RENDER_FILE \"" + folder.text("Tonfex-Samples.wav") + "\"");
    std::vector<std::string> track = defaultTrackHead();
    track[1] = "    NAME Samples";
    lines.insert(lines.end(), track.begin(), track.end());
    const std::string length = fixed14(kSampleSeconds);
    int k = 0;
    for (const auto& sample : defaultSamples()) {
        // The long fade lines are split on purpose.
        // NOLINTBEGIN(bugprone-suspicious-missing-comma)
        std::vector<std::string> item = {
            "    <ITEM",
            "      POSITION " + fixed14(k * (kSampleSeconds + 0.5)),
            "      SNAPOFFS 0.00000000000000",
            "      LENGTH " + length,
            "      LOOP 0",
            "      ALLTAKES 0",
            "      FADEIN 1 0.00300000000000 0.00000000000000 1 0 0.00000000000000 "
            "0.00000000000000",
            "      FADEOUT 1 0.02000000000000 0.00000000000000 1 0 0.00000000000000 "
            "0.00000000000000",
            "      MUTE 0",
            "      SEL 0",
            "      IID " + std::to_string(k + 1),
            "      NAME \"" + sample.name + ".wav-" + sample.note + "\"",
            "      VOLPAN 1.00000000000000 0.00000000000000 1.00000000000000 -1.00000000000000",
            "      SOFFS 0.00000000000000",
            "      PLAYRATE 1.00000000000000 1 0.00000000000000 -1 0 0.0025",
            "      CHANMODE 0",
            "      <SOURCE WAVE",
            "        FILE \"" + sample.name + ".wav\"",
            "      >",
            "    >",
        };
        // NOLINTEND(bugprone-suspicious-missing-comma)
        lines.insert(lines.end(), item.begin(), item.end());
        ++k;
    }
    lines.push_back("  >");
    lines.push_back(">");
    return lines;
}

std::vector<std::string> defaultSampleList() {
    std::vector<std::string> lines;
    for (const auto& sample : defaultSamples()) {
        ItemValues v;
        v.DT = kSampleSeconds;
        v.LT1 = v.LT2 = 1;
        lines.push_back(entryText(sample.name, v, sample.note));
    }
    return lines;
}

} // namespace tonfex
