#include "fixture.h"

#include "core/errors.h"

using namespace tonfex;
using tonfex::testkit::AppTest;

TEST_F(AppTest, RuleWithoutMatchUnlocksTheWindowAndKeepsTheMelody) {
    testkit::writeBytes(tmp / "Tonfex.txt", "60 100 4\r\n");
    settings({{"SOUND", "1"}, {"TONFINDUNGSMETHODE", "1.5"}});
    app.Form_Load();
    EXPECT_THROW(app.Dateiherstellung_Click(), CommandEnd);
    ASSERT_FALSE(tp.dialogs.records.empty());
    EXPECT_EQ(tp.dialogs.records.back().text,
              "Für TONFINDUNGSMETHODE 1.5 gibt es keine Regel (TFm).");
    EXPECT_EQ(file("Tonfex.txt"), "60 100 4\r\n");
    for (Button* b : {&app.c.Startknopf, &app.c.Dateiherstellung, &app.c.Kurzubersicht,
                      &app.c.Command1, &app.c.TonfexCap, &app.c.Ubersicht_Notenschreiben})
        EXPECT_TRUE(b->enabled) << b->name;
}

TEST_F(AppTest, DriverControlChangesInMidiMode) {
    settings({{"SOUND", "1"}, {"TONFINDUNGSMETHODE", "0.2"}});
    testkit::writeBytes(tmp / "Tonfex.txt", "60 100 4\r\n");
    app.Form_Load();
    app.Samplezahl = 0; // no catalogue read yet: the test mode makes no tones
    bool lockedDuringWait = false;
    tp.events.onProcess = [&] { lockedDuringWait = !app.c.Dateiherstellung.enabled; };
    app.Dateiherstellung_Click();
    EXPECT_TRUE(lockedDuringWait);
    EXPECT_EQ(app.c.Dateiherstellung.back, (Rgb{255, 255, 192})); // after the play
    EXPECT_TRUE(app.c.Daten.visible && app.c.Zuordnung.visible);
    EXPECT_EQ(app.c.inidat.height, 1025);
    EXPECT_FALSE(app.InidatGross || app.LinkFlag || app.List2Gross);
    EXPECT_EQ(app.c.Label2.caption, "D e r   M e l o d i e n s p i e l e r");
    EXPECT_EQ(app.Regelname, "T E S T");
    EXPECT_EQ(app.melody.Tonzahl, 0);
    // No tones: the melody file stays, and the play reads it.
    EXPECT_EQ(file("Tonfex.txt"), "60 100 4\r\n");
    EXPECT_EQ(app.tonesRead, 1);
}

TEST_F(AppTest, TestModeWritesEveryCataloguedSampleOnce) {
    settings({{"SOUND", "1"}, {"TONFINDUNGSMETHODE", "0.1"}, {"TEMPO", "7"},
              {"TRACKZAHL", "1"}, {"AUTOPAN", "1"}});
    app.Form_Load();
    app.Samplezahl = 5;
    app.Dateiherstellung_Click();
    EXPECT_EQ(file("Tonfex.txt"),
              "1 127 3000\r\n2 127 3000\r\n3 127 3000\r\n4 127 3000\r\n5 127 3000\r\n");
    EXPECT_EQ(app.s.TEMPO, 1.0f);
    EXPECT_EQ(app.c.Text1.text(), "Ton 5");
    EXPECT_FALSE(app.c.Text1.visible);
    // The player read the file back into the arrays.
    EXPECT_EQ(app.tonesRead, 5);
    EXPECT_EQ(app.melody.Tonhoehe[5], 5);
    EXPECT_EQ(app.melody.Tonhoehe[6], 0);
    EXPECT_EQ(app.melody.Tondauer[3], 3000);
    EXPECT_TRUE(app.c.Startknopf.enabled);
}

TEST_F(AppTest, TestModeAutopanOffForOneTrackAndHoldsAtTenThousandAttempts) {
    settings({{"TONFINDUNGSMETHODE", "0.2"}, {"TRACKZAHL", "1"}, {"AUTOPAN", "1"}});
    app.Initial();
    app.Samplezahl = 3;
    app.Testmodus();
    EXPECT_EQ(app.s.AUTOPAN, 0);
    EXPECT_EQ(app.s.HOCHTON, 3);
    EXPECT_EQ(app.melody.Tonzahl, 3);
    app.Versuche = 10000;
    app.Testmodus();
    EXPECT_EQ(app.melody.Tonzahl, 0);
}

TEST_F(AppTest, PlayReadsDurationsFromTheListOrDirectly) {
    settings({{"SOUND", "1"}, {"TONDAUERDIREKT", "0"}});
    testkit::writeBytes(tmp / "Tonfex.txt", "60 100 5\r\n62 90 99\r\n64 80 2\r\n");
    app.Form_Load();
    app.Startknopf_Click();
    EXPECT_EQ(app.melody.Tondauer[1], 2400);
    EXPECT_EQ(app.melody.Tondauer[2], 0); // beyond the list: no wait
    EXPECT_EQ(app.melody.Tondauer[3], 300);
    EXPECT_TRUE(app.PlayStarted);

    settings({{"SOUND", "1"}, {"TONDAUERDIREKT", "1"}});
    app.decimal = ',';
    testkit::writeBytes(tmp / "Tonfex.txt", "60 100 1,5\r\n");
    app.Startknopf_Click();
    EXPECT_EQ(app.melody.Tondauer[1], 1.5);
}

TEST_F(AppTest, PlayWithoutMelodyFileSaysSoAndUnlocks) {
    settings({{"SOUND", "1"}});
    app.Form_Load();
    EXPECT_THROW(app.Startknopf_Click(), CommandEnd);
    EXPECT_EQ(tp.dialogs.records.back().text,
              app.folder.text("Tonfex.txt") + " ist nicht vorhanden!");
    EXPECT_TRUE(app.c.Startknopf.enabled && app.c.Dateiherstellung.enabled);
}

TEST_F(AppTest, ReadErrorNoEndsTheProgramFromThePlay) {
    settings({{"SOUND", "1"}});
    testkit::writeBytes(tmp / "Tonfex.txt", "60 300 4\r\n");
    app.Form_Load();
    tp.dialogs.answers = {false};
    EXPECT_THROW(app.Startknopf_Click(), ProgramEnd);
    EXPECT_EQ(file("Tonfex.txt"), "60 300 4\r\n");
}

TEST_F(AppTest, RundenLeavesItsResult) {
    app.runden(1000, 2.3456);
    EXPECT_DOUBLE_EQ(app.Gerundet, 2.346);
}
