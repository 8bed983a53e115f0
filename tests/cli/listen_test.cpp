#include "app/app.h"
#include "app/commands.h"
#include "cli_kit.h"
#include "core/errors.h"
#include "platform/doubles.h"
#include "render/wav_kit.h"
#include "sampler/rpp_strict.h"

#include <cmath>

using namespace tonfex;
using testkit::CliRun;
using testkit::has;

TEST(Listen, PlayWavInTheSampleModesVorhoerenAndTheWindowsHoeren) {
    testkit::TempFolder tmp;
    // The template's sample mode with Tonfex-HCR.rpp: two tones, three seconds apart.
    testkit::prepare(tmp, {{"SOUND", "3"}}, "1 127 14400\r\n5 100 4800\r\n");
    CliRun r = testkit::cliIn(tmp, {"play", "--wav", (tmp / "a.wav").string()});
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_TRUE(has(r.out, "Geschrieben: " + (tmp / "a.wav").string()));
    std::vector<std::vector<testkit::RppItem>> items;
    ASSERT_EQ(testkit::strictRpp(testkit::readBytes(tmp / "Tonfex.rpp"), items), "");
    ASSERT_EQ(items.at(0).size(), 2u);
    const testkit::Wav wav = testkit::readWav(tmp / "a.wav");
    const std::vector<float>& left = wav.l;
    EXPECT_EQ(std::tuple(wav.rate, wav.channels, wav.format & SF_FORMAT_SUBMASK),
              std::tuple(44100, 2, SF_FORMAT_PCM_24));
    EXPECT_NEAR(double(left.size()) / 44100, items[0][1].position + items[0][1].length, 1e-3);
    for (const auto& item : items[0]) {
        // Silence before the item's position, sound within a millisecond after it.
        float before = 0, after = 0;
        const auto at = static_cast<size_t>(std::lround(item.position * 44100));
        for (size_t i = at > 441 ? at - 441 : 0; i < at; ++i)
            before = std::max(before, std::abs(left[i]));
        for (size_t i = at; i < at + 44; ++i)
            after = std::max(after, std::abs(left[i]));
        EXPECT_LT(before, 1e-4) << item.position;
        EXPECT_GT(after, 1e-3) << item.position;
    }

    r = testkit::cliIn(tmp, {"vorhoeren", "Tonfex-HCR.rpp"});
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_GT(testkit::readWav(tmp / "Tonfex-HCR-Vorhoeren.wav").l.size(), 44100u);
    r = testkit::cliIn(tmp, {"vorhoeren"});
    EXPECT_TRUE(has(r.out, "Geschrieben: " + (tmp / "Tonfex-Vorhoeren.wav").string()));
    r = testkit::cliIn(tmp, {"vorhoeren", "fehlt.rpp"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(
        has(r.out, (tmp / "fehlt.rpp").string() + ": Das Projekt lässt sich nicht öffnen."));

    // The window's "Hören": the play's Tonfex.rpp into Tonfex-Vorhoeren.wav, then the player on
    // that file; a missing project is named and no player starts.
    std::filesystem::remove(tmp / "Tonfex-Vorhoeren.wav");
    TestPlatform tp;
    App app(tp.platform, tmp.folder(), '.', OsKind::Linux);
    app.environment = [](const std::string& name) {
        return name == "TONFEX_PLAYER" ? std::string("/opt/spieler") : std::string();
    };
    findControl("Hoeren")->run(app, {});
    ASSERT_EQ(tp.programs.starts.size(), 1u);
    EXPECT_EQ(tp.programs.starts[0].command.program, "/opt/spieler");
    const std::filesystem::path heard = tmp / "Tonfex-Vorhoeren.wav";
    EXPECT_EQ(tp.programs.starts[0].command.args, std::vector<std::string>{heard.string()});
    EXPECT_GT(testkit::readWav(heard).l.size(), 44100u);

    std::filesystem::remove(tmp / "Tonfex.rpp");
    EXPECT_THROW(findControl("Hoeren")->run(app, {}), CommandEnd);
    EXPECT_EQ(tp.programs.starts.size(), 1u);
    EXPECT_TRUE(
        has(tp.dialogs.records.back().text, "Tonfex.rpp: Das Projekt lässt sich nicht öffnen."));
}
