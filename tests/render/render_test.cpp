#include "render/render.h"

#include "core/textfile.h"
#include "platform/doubles.h"
#include "sampler/rpp_strict.h"
#include "sampler/writer.h"
#include "support.h"
#include "wav_kit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace tonfex;
using namespace tonfex::render;
using testkit::readWav;
using testkit::Wav;
namespace fs = std::filesystem;

namespace {

void writeSine(const fs::path& path, double hz, double seconds, int rate = kRate,
               double amp = 0.5) {
    SF_INFO info{};
    info.samplerate = rate, info.channels = 1, info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* f = sf_open(path.string().c_str(), SFM_WRITE, &info);
    ASSERT_NE(f, nullptr);
    std::vector<float> x(static_cast<size_t>(seconds * rate));
    for (size_t i = 0; i < x.size(); ++i)
        x[i] = static_cast<float>(amp * std::sin(2 * std::numbers::pi * hz * double(i) / rate));
    sf_writef_float(f, x.data(), static_cast<sf_count_t>(x.size()));
    sf_close(f);
}

double dB(const std::vector<float>& x, double from, double to) {
    double sum = 0;
    const auto a = static_cast<size_t>(from * kRate), b = static_cast<size_t>(to * kRate);
    for (size_t i = a; i < b; ++i)
        sum += double(x[i]) * x[i];
    return 10 * std::log10(sum / double(b - a) + 1e-30);
}

// The first frame at or after `from` seconds whose level exceeds a tenth of the sine's.
double onset(const std::vector<float>& x, double from, double level = 0.05) {
    for (auto i = static_cast<size_t>(std::max(from, 0.0) * kRate); i < x.size(); ++i)
        if (std::abs(x[i]) > level) return double(i) / kRate;
    return -1;
}

// The last frame before `before` seconds above the level.
double offset(const std::vector<float>& x, double before, double level) {
    for (auto i = std::min(x.size(), static_cast<size_t>(before * kRate)); i-- > 0;)
        if (std::abs(x[i]) > level) return double(i + 1) / kRate;
    return -1;
}

// Rising zero crossings between two times, interpolated: the fundamental of a sine.
double frequency(const std::vector<float>& x, double from, double to) {
    double first = -1, last = -1;
    int n = 0;
    for (auto i = static_cast<size_t>(from * kRate); i < static_cast<size_t>(to * kRate); ++i)
        if (x[i] <= 0 && x[i + 1] > 0) {
            const double t = double(i) + x[i] / double(x[i] - x[i + 1]);
            if (first < 0) first = t;
            last = t, ++n;
        }
    return (n - 1) / (last - first) * kRate;
}

std::string item(double pos, double len, const std::string& file, const std::string& more = "") {
    return "  <ITEM\n    POSITION " + std::to_string(pos) + "\n    LENGTH " + std::to_string(len) +
           "\n" + more + "    <SOURCE WAVE\n      FILE " + file + "\n    >\n  >\n";
}

struct Render : ::testing::Test {
    testkit::TempFolder tmp;
    RenderResult result;
    Wav wav;
    void render(const std::string& text) {
        ReadResult read = readProject(text, "t.rpp", tmp / "");
        ASSERT_EQ(read.error, "");
        result = renderProject(read.project, tmp / "out.wav");
        if (result.error.empty()) wav = readWav(tmp / "out.wav");
    }
};

} // namespace

TEST(RppReader, TracksItemsTakesAndQuotes) {
    const std::string text =
        "<REAPER_PROJECT 0.1 \"6.0/x\" 1\r\n  <NOTES 0 2\r\n    |<ITEM > \"'\r\n  >\r\n"
        "  <TRACK\r\n    NAME 'a \"b\"'\r\n    VOLPAN 0.5 -0.25 -1\r\n    MUTESOLO 1 0 0\r\n"
        "    <FXCHAIN\r\n      <VST \"x\" `y z` ''\r\n      >\r\n    >\r\n"
        "  <ITEM\r\n    POSITION 1.5\r\n    LENGTH .75\r\n    SOFFS 0.1\r\n"
        "    VOLPAN 0.5 0.3 0.8 -1\r\n    MUTE 1\r\n    FADEIN 1 0.01 0\r\n"
        "    FADEOUT 1 0.02 0\r\n    PLAYRATE 2 0 -5 -65536\r\n"
        "    <SOURCE WAVE\r\n      FILE \"sub dir/a.wav\"\r\n    >\r\n"
        "    TAKE SEL\r\n    SOFFS 0.4\r\n    PLAYRATE 1 1 7 -65536\r\n"
        "    <SOURCE WAVE\r\n      FILE /abs/b.wav\r\n    >\r\n  >\r\n  >\r\n"
        "  <TRACK\r\n    <ITEM\r\n      POSITION 0\r\n      <SOURCE MIDI\r\n      >\r\n    >\r\n"
        "    <ITEM\r\n      POSITION 3\r\n      <SOURCE WAVE\r\n        FILE C:\\Arbeit\\c.wav\r\n"
        "      >\r\n    >\r\n  >\r\n>\r\n";
    ReadResult r = readProject(text, "p.rpp", "/proj");
    ASSERT_EQ(r.error, "");
    ASSERT_EQ(r.project.tracks.size(), 2u);
    EXPECT_EQ(r.project.otherSources, 1);
    const Track& t = r.project.tracks[0];
    EXPECT_EQ(std::tuple(t.volume, t.pan, t.muted, t.solo), std::tuple(0.5, -0.25, true, false));
    ASSERT_EQ(t.items.size(), 1u);
    const Item& i = t.items[0];
    EXPECT_EQ(std::tuple(i.position, i.length, i.volume, i.pan, i.muted, i.fadeIn, i.fadeOut),
              std::tuple(1.5, 0.75, 0.5, 0.3, true, 0.01, 0.02)); // the second take's volume 1
    // The selected second take plays.
    EXPECT_EQ(std::tuple(i.sourceOffset, i.rate, i.preservePitch, i.semitones, i.file.string()),
              std::tuple(0.4, 1.0, true, 7.0, std::string("/abs/b.wav")));
    EXPECT_EQ(r.project.tracks[1].items.at(0).file, fs::path("/proj/c.wav"));
    const auto quoted =
        readProject("<REAPER_PROJECT\n<TRACK\n" +
                        std::string("<ITEM\n<SOURCE WAVE\nFILE \"sub dir/a.wav\"\n>\n>\n>\n>\n"),
                    "p.rpp", "/proj");
    EXPECT_EQ(quoted.project.tracks.at(0).items.at(0).file, fs::path("/proj/sub dir/a.wav"));

    const std::pair<const char*, const char*> bad[] = {
        {"<REAPER_PROJECT\n  NAME \"open\n>\n", "p.rpp, Zeile 2: Ein Anführungszeichen"},
        {"<REAPER_PROJECT\n  <TRACK\n>\n", "in Zeile 3, ohne dass der Block <REAPER_PROJECT aus "
                                           "Zeile 1"},
        {"<REAPER_PROJECT\n>\n>\n", "p.rpp, Zeile 3: Nach dem Ende"},
        {"<TRACK\n>\n", "p.rpp, Zeile 1: Dies ist kein REAPER-Projekt"},
        {"\n<REAPER_PROJECT\n<TRACK\n<ITEM\nPOSITION 1,5\n>\n>\n>\n",
         "p.rpp, Zeile 5: POSITION erwartet eine Zahl statt „1,5“."},
    };
    for (auto [project, message] : bad)
        EXPECT_NE(readProject(project, "p.rpp", "/").error.find(message), std::string::npos)
            << project << " -> " << readProject(project, "p.rpp", "/").error;

    // A project file beyond the reader's bound is refused before it is read whole.
    testkit::TempFolder tmp;
    TestPlatform tp;
    testkit::writeBytes(tmp / "gross.rpp", "<REAPER_PROJECT\n");
    fs::resize_file(tmp / "gross.rpp", kMaxProjectBytes + 1);
    EXPECT_EQ(readProjectFile(tmp / "gross.rpp", tp.files).error,
              (tmp / "gross.rpp").string() +
                  ": Das Projekt ist größer als 48 MB; so große Projekte berechnet das Vorhören "
                  "nicht.");
}

TEST_F(Render, OnsetsGainsPansFadesAndSourceEnd) {
    writeSine(tmp / "a.wav", 500, 1.0);
    writeSine(tmp / "b.wav", 500, 1.0, 48000);
    render("<REAPER_PROJECT\n  <TRACK\n    VOLPAN 0.5 -1 -1\n" + item(0.25, 0.5, "a.wav") +
           item(1.0, 0.5, "a.wav", "    VOLPAN 1 -1 1 -1\n") + "  >\n  <TRACK\n" +
           item(2.0, 0.5, "a.wav", "    VOLPAN 0.5 0.5 0.5 -1\n") +
           item(3.0, 0.8, "a.wav", "    FADEIN 1 0.2 0\n    FADEOUT 1 0.4 0\n") +
           item(4.0, 0.8, "a.wav", "    SOFFS 0.5\n") + item(5.0, 0.5, (tmp / "b.wav").string()) +
           "  >\n  <TRACK\n    MUTESOLO 1 0 0\n" + item(0, 6, "a.wav") + "  >\n>\n");
    ASSERT_EQ(result.error, "");
    EXPECT_EQ(std::tuple(wav.rate, wav.channels, wav.format),
              std::tuple(kRate, 2, SF_FORMAT_WAV | SF_FORMAT_PCM_24));
    EXPECT_NEAR(result.seconds, 5.5, 1e-3);
    EXPECT_EQ(std::tuple(result.items, result.gainDb), std::tuple(6, 0.0));
    for (double at : {0.25, 1.0, 2.0, 4.0, 5.0})
        EXPECT_NEAR(onset(wav.l, at - 0.1, 0.005), at, 1e-3) << at;
    const double sine = 20 * std::log10(0.5 / std::sqrt(2)); // the source's RMS
    // Constant power, unity at the centre: hard left +3.01 dB; pan 0.5 -5.33 / +2.32 dB.
    const std::tuple<double, double, double> levels[] = {
        {0.3, sine - 6.02 + 3.01, -300},                 // track at 0.5, hard left
        {1.1, sine - 6.02 + 6.02, -300},                 // item hard left too: both laws
        {2.1, sine - 12.04 - 5.33, sine - 12.04 + 2.32}, // 0.5 × 0.5, pan 0.5
        {3.25, sine, sine},                              // between the fades
        {5.1, sine, sine},                               // 48 kHz source
    };
    for (auto [at, left, right] : levels) {
        EXPECT_NEAR(dB(wav.l, at, at + 0.1), left, 0.5) << at;
        EXPECT_NEAR(std::max(dB(wav.r, at, at + 0.1), -300.0), right, 0.5) << at;
    }
    // Linear ramps: a quarter into the fade-in a quarter of the amplitude, halfway out half.
    EXPECT_NEAR(dB(wav.l, 3.045, 3.055), sine + 20 * std::log10(0.25), 0.5);
    EXPECT_NEAR(dB(wav.l, 3.595, 3.605), sine + 20 * std::log10(0.5), 0.5);
    // SOFFS 0.5 into a 1 s source: sound for 0.5 s of the 0.8 s item, then silence.
    EXPECT_NEAR(offset(wav.l, 5, 0.005), 4.5, 1e-3);
    EXPECT_NEAR(frequency(wav.l, 5.1, 5.4), 500, 5);
    EXPECT_EQ(result.shifts, 1); // the resampled 48 kHz item
}

TEST_F(Render, ShiftsKeepLengthReuseAndNoClipping) {
    writeSine(tmp / "s.wav", 440, 1.0, kRate, 0.9);
    const std::string shift7 = "    PLAYRATE 1 1 7 -65536\n",
                      shift5 = "    PLAYRATE 1 1 -5 -65536\n";
    render("<REAPER_PROJECT\n  <TRACK\n" + item(0, 1, "s.wav", shift7) +
           item(1.5, 1, "s.wav", shift5) + item(3, 1, "s.wav", shift7) +
           item(3, 1, "s.wav", shift7) + "  >\n>\n");
    ASSERT_EQ(result.error, "");
    EXPECT_EQ(std::tuple(result.shifts, result.reused), std::tuple(2, 2));
    EXPECT_NEAR(frequency(wav.l, 0.2, 0.8) / (440 * std::exp2(7 / 12.0)), 1, 0.01);
    EXPECT_NEAR(frequency(wav.l, 1.7, 2.3) / (440 * std::exp2(-5 / 12.0)), 1, 0.01);
    EXPECT_NEAR(offset(wav.l, 1.25, 0.02), 1.0, 0.005);
    EXPECT_NEAR(onset(wav.l, 1.2, 0.02), 1.5, 0.001);
    EXPECT_NEAR(offset(wav.l, 2.75, 0.02), 2.5, 0.005);
    // Two items at 0.9 on top of each other would clip: the whole mix is lowered.
    EXPECT_GT(result.peak, 1.5);
    EXPECT_NEAR(result.gainDb, 20 * std::log10(0.98855 / result.peak), 0.01);
    float peak = 0;
    for (float v : wav.l)
        peak = std::max(peak, std::abs(v));
    EXPECT_NEAR(peak, 0.98855, 0.002);

    render("<REAPER_PROJECT\n  <TRACK\n" + item(0, 1, "s.wav") + item(1, 1, "fehlt.wav") +
           "  >\n>\n");
    EXPECT_EQ(result.error, "Die WAV-Datei „" + (tmp / "fehlt.wav").string() +
                                "“ (Item in Zeile 10 des Projekts) fehlt.");
}

// Projects of the program's own writer, for every KEYTRANSPOSE and SAMPLETUNING mode: each item
// starts at its POSITION and sounds at its sample's pitch times its PLAYRATE shift.
TEST_F(Render, WriterProjectsInEveryTuningMode) {
    TestPlatform tp;
    Settings s;
    Melody melody;
    std::vector<std::string> table = emptySampleTable();
    table[1] = "Tief  .2  0  0  1  1  ", table[2] = "Hoch  .2  0  0  1  1  ";
    writeSine(tmp / "Tief.wav", 400, 0.3), writeSine(tmp / "Hoch.wav", 600, 0.3);
    writeTextLines(tp.files, tmp / "Tonfex-RPP-01", {"<REAPER_PROJECT 0.1"});
    writeTextLines(tp.files, tmp / "Tonfex-RPP-02", {"  <TRACK"});
    const std::int16_t pitches[] = {1, 2, 1, 1, 2, 1}, counts[] = {1, 1, 2, 3, 2, 4};
    for (int ktp = 0; ktp <= 3; ++ktp)
        for (int stn = 0; stn <= 4; ++stn) {
            s = Settings{};
            s.SOUND = "3", s.TONFINDUNGSMETHODE = "3", s.TRACKZAHL = 2;
            s.KEYTRANSPOSE = static_cast<std::int16_t>(ktp);
            s.SAMPLETUNING = static_cast<std::int16_t>(stn);
            s.TONHOHENANDERUNGSFAKTOR = 1, s.SAMPLETRANSU = -12, s.SAMPLETRANSO = 12;
            for (size_t i = 1; i <= 6; ++i) {
                melody.Tonhoehe[i] = pitches[i - 1], melody.Tonzaehler[i] = counts[i - 1];
                melody.Lautstaerke[i] = 127, melody.Tondauer[i] = 2400;
            }
            SamplerState state;
            double Tempoteiler = 0;
            ListBox Daten;
            Button Reaperstart;
            ProjectRun run{s, melody, table, 2,           state,       Tempoteiler,
                           6, 7,      Daten, Reaperstart, tp.platform, tmp.folder()};
            Projektschreiber(run);
            std::vector<std::vector<testkit::RppItem>> strict;
            ASSERT_EQ(testkit::strictRpp(testkit::readBytes(tmp / "Tonfex.rpp"), strict), "");
            render(testkit::readBytes(tmp / "Tonfex.rpp"));
            ASSERT_EQ(result.error, "");
            const auto project = readProject(testkit::readBytes(tmp / "Tonfex.rpp"), "", tmp / "");
            int checked = 0;
            for (size_t t = 0; t < strict.size(); ++t)
                for (size_t k = 0; k < strict[t].size(); ++k, ++checked) {
                    const double at = strict[t][k].position;
                    const Item& it = project.project.tracks[t].items[k];
                    const double base = strict[t][k].file == "Hoch.wav" ? 600 : 400;
                    const std::string mode = "KTP " + std::to_string(ktp) + " Stn " +
                                             std::to_string(stn) + " at " + std::to_string(at);
                    EXPECT_NEAR(onset(wav.l, at - 0.1), at, 0.001) << mode;
                    EXPECT_NEAR(frequency(wav.l, at + 0.03, at + 0.25) /
                                    (base * std::exp2(it.semitones / 12)),
                                1, 0.01)
                        << mode;
                }
            EXPECT_EQ(checked, 6);
        }
}
