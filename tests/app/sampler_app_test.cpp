#include "fixture.h"

#include "../sampler/rpp_strict.h"
#include "core/textfile.h"

#include <cstring>

using namespace tonfex;
using tonfex::testkit::AppTest;

namespace {

std::uint32_t u32(const std::string& b, size_t at) {
    std::uint32_t v = 0;
    for (int k = 3; k >= 0; --k)
        v = v << 8 | static_cast<unsigned char>(b[at + static_cast<size_t>(k)]);
    return v;
}

// "" when `bytes` are a 44.1 kHz 16-bit PCM RIFF/WAVE file that is not silent.
std::string waveFault(const std::string& bytes) {
    if (bytes.size() < 44 || bytes.compare(0, 4, "RIFF") || bytes.compare(8, 8, "WAVEfmt "))
        return "no RIFF/WAVE header";
    if (u32(bytes, 4) != bytes.size() - 8) return "RIFF size";
    if (u32(bytes, 16) != 16 || (u32(bytes, 20) & 0xFFFF) != 1) return "not PCM";
    const std::uint32_t channels = u32(bytes, 20) >> 16;
    if (channels < 1 || channels > 2 || u32(bytes, 24) != 44100) return "channels or rate";
    if (u32(bytes, 28) != 44100 * 2 * channels || (u32(bytes, 32) >> 16) != 16) return "format";
    if (bytes.compare(36, 4, "data") || u32(bytes, 40) != bytes.size() - 44) return "data size";
    int peak = 0;
    for (size_t at = 44; at + 1 < bytes.size(); at += 2) {
        std::int16_t v;
        std::memcpy(&v, bytes.data() + at, 2);
        peak = std::max(peak, std::abs(static_cast<int>(v)));
    }
    return peak > 10000 ? "" : "silent";
}

} // namespace

TEST_F(AppTest, NewFolderTestModeWritesAProjectOverTheDefaultSamples) {
    settings("TONFINDUNGSMETHODE 0.2");
    app.Form_Load();
    app.Dateiherstellung_Click();
    EXPECT_EQ(app.Samplezahl, 13);
    std::vector<std::vector<testkit::RppItem>> items;
    ASSERT_EQ(testkit::strictRpp(file("Tonfex.rpp"), items), "");
    ASSERT_EQ(items.size(), 1u);
    ASSERT_EQ(items[0].size(), 13u);
    for (const auto& item : items[0]) {
        EXPECT_EQ(item.length, 1.5);
        EXPECT_EQ(waveFault(file(item.file)), "") << item.file;
    }
    EXPECT_NEAR(items[0][1].position, 1.5 + 2 * 0.1 * 0.001, 1e-12);
    EXPECT_EQ(tp.clipboard.text, (tmp / "Tonfex-030327-0905-07.wav").string());
}

TEST_F(AppTest, PlayWritesTheSameProjectFromEitherCatalog) {
    // The template settings: SOUND 3, TFm 1, one track, sample lengths as spacing.
    testkit::writeBytes(tmp / "Tonfex.txt", "1 100 4\r\n5 90 2\r\n13 127 9\r\n5 60 4\r\n");
    app.Form_Load();
    app.melody.Tonzahl = 2; // an earlier rule's count does not cut the melody read
    app.Startknopf_Click();
    EXPECT_EQ(app.melody.Tonzahl, 2);
    const std::string fromProject = file("Tonfex.rpp");
    std::vector<std::vector<testkit::RppItem>> items;
    ASSERT_EQ(testkit::strictRpp(fromProject, items), "");
    EXPECT_EQ(items[0][2].file, "Tonfex-Mallet-13.wav");
    EXPECT_NEAR(items[0][3].position, 3 * (1.5 + 2 * 0.01), 1e-12);

    settings("SOUND 2");
    app.Startknopf_Click();
    EXPECT_EQ(file("Tonfex.rpp"), fromProject);
}
