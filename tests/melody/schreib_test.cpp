#include "core/errors.h"
#include "melody/melody.h"
#include "platform/doubles.h"
#include "support.h"

#include <gtest/gtest.h>

using namespace tonfex;

namespace {
struct SchreibTest : ::testing::Test {
    testkit::TempFolder tmp;
    TestPlatform tp;
    Melody m;
    Settings s;
    std::string file() { return testkit::readBytes(tmp / "Tonfex.txt"); }
    void tones(std::initializer_list<std::tuple<std::int16_t, std::int16_t, double>> list) {
        m.erase();
        m.Tonzahl = 0;
        for (auto [p, v, d] : list) {
            const auto k = static_cast<size_t>(++m.Tonzahl);
            m.Tonhoehe[k] = p, m.Lautstaerke[k] = v, m.Tondauer[k] = d;
        }
    }
    void write() { Schreib(m, s, tp.files, tp.dialogs, tmp.folder()); }
};
} // namespace

TEST_F(SchreibTest, LinesLocaleDecimalAndAPitchBelowOneYesWritesOneNoEnds) {
    tones({{60, 100, 4}, {62, 90, 2}});
    write();
    EXPECT_EQ(file(), "60 100 4\r\n62 90 2\r\n");
    tones({{60, 100, 1.5}});
    s.decimal = ',';
    write();
    EXPECT_EQ(file(), "60 100 1,5\r\n");
    s.decimal = '.', s.TRANSPONI = 12;
    write();
    EXPECT_EQ(file(), "72 100 1.5\r\n");
    tones({{32767, 1, 1}}); // extreme pitches do not wrap
    write();
    EXPECT_EQ(file(), "32767 1 1\r\n");
    EXPECT_TRUE(tp.dialogs.records.empty());
    m.Tonzahl = 0; // no tones: the file stays
    write();
    EXPECT_EQ(file(), "32767 1 1\r\n");

    tones({{60, 100, 4}, {61, 100, 4}});
    s.TRANSPONI = -70;
    tp.dialogs.answers = {true, true};
    write();
    ASSERT_EQ(tp.dialogs.records.size(), 2u);
    EXPECT_EQ(tp.dialogs.records[0].title + ": " + tp.dialogs.records[0].text,
              "FEHLER: Als Tonhöhe wurde 60 gelesen - wird als 1 interpretiert - fortfahren?");
    EXPECT_EQ(file(), "1 100 4\r\n1 100 4\r\n");
    EXPECT_EQ(m.Tonhoehe[1], 71); // the array keeps 1 - TRANSPONI

    s.TRANSPONI = 0;
    tones({{60, 100, 4}, {0, 100, 4}});
    tp.dialogs.answers = {false};
    EXPECT_THROW(write(), ProgramEnd);
    EXPECT_EQ(file(), "1 100 4\r\n1 100 4\r\n");
}
