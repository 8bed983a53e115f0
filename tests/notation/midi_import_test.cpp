// Standard MIDI Files as patterns: the voice the import takes from files of both formats.
#include "core/errors.h"
#include "notation_kit.h"

using namespace tonfex;
using testkit::readBytes;

namespace {

std::string big(std::uint32_t v, int n) {
    std::string s;
    for (int i = n - 1; i >= 0; --i)
        s += static_cast<char>(v >> (8 * i) & 0xff);
    return s;
}
std::string chunk(const char* type, const std::string& body) {
    return type + big(static_cast<std::uint32_t>(body.size()), 4) + body;
}
std::string file(int format, const std::vector<std::string>& tracks, int division = 480) {
    std::string f = chunk("MThd", big(static_cast<std::uint32_t>(format), 2) +
                                      big(static_cast<std::uint32_t>(tracks.size()), 2) +
                                      big(static_cast<std::uint32_t>(division), 2));
    for (const auto& t : tracks)
        f += chunk("MTrk", t);
    return f;
}
// Bytes from numbers, for events written by hand.
std::string b(std::initializer_list<int> bytes) {
    std::string s;
    for (int v : bytes)
        s += static_cast<char>(v);
    return s;
}

struct MidiImportTest : testkit::ImportTest {
    std::string run(const std::string& bytes) {
        testkit::writeBytes(tmp / "in.mid", bytes);
        return import(MidiLesen, tmp / "in.mid");
    }
};

} // namespace

TEST_F(MidiImportTest, OneVoiceOfTheFirstTrackAndChannelWithNotes) {
    // Track 1 only has a tempo and a name. Track 2, channel 1 (and channel 2 from tick 0):
    // C5 a quarter, released one tick early (a short gap); running status; the chord E5+G5
    // keeps G5, which a D5 ends after an eighth; a rest of a quarter; A5 with a velocity-0
    // release. Track 3 and channel 2 are other voices.
    const std::string conductor =
        b({0, 0xff, 0x51, 3, 0x07, 0xa1, 0x20, 0, 0xff, 3, 2}) + "ab" + b({0, 0xff, 0x2f, 0});
    const std::string voice =
        b({0,    0x90, 60,   90,   0,    0x91, 50,   64,   0x83, 0x5f, 0x80, 60,  0,    1,    0x90,
           64,   80,   0,    67,   70,   0x81, 0x70, 62,   99,   0,    0x80, 67,  0,    0,    0x80,
           64,   0,    0x81, 0x70, 0x80, 62,   0,    0x83, 0x60, 0x90, 69,   100, 0,    0xf0, 2,
           0x7e, 0xf7, 0x83, 0x60, 0x90, 69,   0,    0,    0x81, 50,   0,    0,   0xff, 0x2f, 0});
    const std::string other = b({0, 0x90, 40, 100, 0x83, 0x60, 0x80, 40, 0, 0, 0xff, 0x2f, 0});
    const std::string rows = "60  90  2000\r\n67  70  1000\r\n62  99  1000\r\n62  1  2000\r\n"
                             "69  100  2000\r\n";
    EXPECT_EQ(run(file(1, {conductor, voice, other})), rows);
    EXPECT_EQ(zuordnung.lines()[0], "Pattern von der MIDI-Datei");
    EXPECT_EQ(zuordnung.lines()[3], "Aus in.mid übergangen: 1 Akkordton, 2 Noten weiterer Stimmen");
    // Format 0 with the same events; 960 ticks a quarter give the same durations halved.
    EXPECT_EQ(run(file(0, {voice}, 960)),
              "60  90  1000\r\n67  70  500\r\n62  99  500\r\n62  1  1000\r\n69  100  1000\r\n");
}

TEST_F(MidiImportTest, DamagedFilesAreNamedAndLeaveThePattern) {
    testkit::writeBytes(tmp / "Tonfex-Cap-PT.txt", "60  100  2000\r\n");
    const std::string note = b({0, 0x90, 60, 90, 10, 0x80, 60, 0});
    for (const auto& [bytes, why] : std::vector<std::pair<std::string, std::string>>{
             {"RIFF", "der Kopf MThd fehlt"},
             {file(2, {note}), "Format 2"},
             {file(0, {note}, 0xe728), "SMPTE"},
             {file(0, {b({0, 60, 90})}), "ein Datenbyte ohne Status"},
             {file(0, {b({0, 0x90, 60})}), "über das Ende der Spur"},
             {file(0, {b({0, 0xff, 0x2f, 0})}), "keine Note"},
             {file(0, {note}).substr(0, 20), "über das Dateiende"}}) {
        EXPECT_THROW(run(bytes), CommandEnd) << why;
        EXPECT_TRUE(testkit::has(tp.dialogs.records.back().text, why))
            << tp.dialogs.records.back().text;
        EXPECT_EQ(readBytes(tmp / "Tonfex-Cap-PT.txt"), "60  100  2000\r\n");
    }
}
