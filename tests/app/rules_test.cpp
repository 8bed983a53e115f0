#include "fixture.h"

#include "melody/zeilenleser.h"

using namespace tonfex;
using tonfex::testkit::AppTest;

namespace {
// The window on a fresh default working folder, drawing from the real clock-seeded random source.
struct RealRandomTest : AppTest {
    ClockRandom random;
    Platform real{tp.dialogs, tp.clipboard, tp.programs, tp.windows,
                  tp.clock,   tp.events,    random,      tp.files};
    App window{real, tmp.folder(), '.', OsKind::Windows};
};
} // namespace

TEST_F(RealRandomTest, EveryRuleWritesAMelodyThePlayerReadsBack) {
    for (int tfm = 1; tfm <= 6; ++tfm) {
        SCOPED_TRACE(tfm);
        settings("SOUND 1, TONFINDUNGSMETHODE " + std::to_string(tfm) +
                 ", VERZOGERUNG 0, TEMPO 1000, TIEFTON 48, HOCHTON 84, STARTTON 60, INTERVALL 7, "
                 "ANZAHL 300, UNTERGRENZE -7, OBERGRENZE 7, KURZTON 3, LANGTON 6, WIEVIELELOOPS 8");
        std::filesystem::remove(tmp / "Tonfex.txt");
        window.Form_Load();
        window.Dateiherstellung_Click();
        EXPECT_EQ(window.Regelname, "Regel 0" + std::to_string(tfm));
        ASSERT_GT(window.melody.Tonzahl, 0);
        EXPECT_EQ(window.tonesRead, window.melody.Tonzahl);
        for (const auto& record : tp.dialogs.records)
            ADD_FAILURE() << record.text;
        // A reader that answers every question with No would end the program.
        ScriptedDialogs strict;
        strict.defaultAnswer = false;
        auto lines = readTextLines(tp.files, tmp / "Tonfex.txt");
        ASSERT_TRUE(lines.has_value());
        EXPECT_NO_THROW(readToneRows(*lines, Reader::Player, true, '.', strict, "Tonfex.txt"));
        EXPECT_TRUE(window.c.Dateiherstellung.enabled);
    }
}
