#include "fixture.h"

#include "core/errors.h"

using namespace tonfex;
using tonfex::testkit::AppTest;

TEST_F(AppTest, RuleNumberWithoutRuleUnlocksTheWindowAndKeepsTheMelody) {
    for (const char* tfm : {"1.5", "3.5"}) {
        SCOPED_TRACE(tfm);
        testkit::writeBytes(tmp / "Tonfex.txt", "60 100 4\r\n");
        settings({{"SOUND", "1"}, {"TONFINDUNGSMETHODE", tfm}, {"VERZOGERUNG", "0"}});
        app.Form_Load();
        EXPECT_THROW(app.Dateiherstellung_Click(), CommandEnd);
        EXPECT_EQ(tp.dialogs.records.back().text,
                  std::string("Für TONFINDUNGSMETHODE ") + tfm + " gibt es keine Regel (TFm).");
        EXPECT_EQ(app.melody.Tonzahl, 0);
        EXPECT_EQ(file("Tonfex.txt"), "60 100 4\r\n");
        for (Button* b : {&app.c.Startknopf, &app.c.Dateiherstellung, &app.c.Kurzubersicht,
                          &app.c.Command1, &app.c.TonfexCap, &app.c.Ubersicht_Notenschreiben})
            EXPECT_TRUE(b->enabled) << b->name;
    }
    // A pattern rule's number lists the default pattern files before the dispatch.
    EXPECT_EQ(app.Pattern01.Zeilen, 10);
    EXPECT_EQ(app.Pattern02.Zeilen, 9);
}

TEST_F(AppTest, DriverControlChangesInMidiMode) {
    settings("SOUND 1, TONFINDUNGSMETHODE 0.2");
    testkit::writeBytes(tmp / "Tonfex.txt", "60 100 4\r\n");
    app.Form_Load();
    app.Samplezahl = 0; // no catalogue read yet: the test mode makes no tones
    bool lockedDuringWait = false;
    tp.events.onProcess = [&] { lockedDuringWait = !app.c.Dateiherstellung.enabled; };
    app.Dateiherstellung_Click();
    EXPECT_TRUE(lockedDuringWait && app.c.Dateiherstellung.enabled); // free after the play
    EXPECT_EQ(app.melody.Tonzahl, 0);
    // No tones: the melody file stays, and the play reads it.
    EXPECT_EQ(file("Tonfex.txt"), "60 100 4\r\n");
    EXPECT_EQ(app.tonesRead, 1);
}

TEST_F(AppTest, TestModesWriteEveryCataloguedSampleOnce) {
    settings("SOUND 1, TONFINDUNGSMETHODE 0.1, TEMPO 7, TRACKZAHL 1, AUTOPAN 1");
    app.Form_Load();
    app.Samplezahl = 5;
    app.Dateiherstellung_Click();
    EXPECT_EQ(file("Tonfex.txt"),
              "1 127 3000\r\n2 127 3000\r\n3 127 3000\r\n4 127 3000\r\n5 127 3000\r\n");
    // The player read the file back.
    EXPECT_EQ(app.tonesRead, 5);
    EXPECT_TRUE(app.c.Startknopf.enabled);

    // Autopan is off for one track; the mode holds at ten thousand attempts.
    settings("TONFINDUNGSMETHODE 0.2, TRACKZAHL 1, AUTOPAN 1");
    app.Initial();
    app.Samplezahl = 3;
    app.Testmodus();
    EXPECT_EQ(std::tuple(app.s.AUTOPAN, app.s.HOCHTON, app.melody.Tonzahl), std::tuple(0, 3, 3));
    app.Versuche = 10000;
    app.Testmodus();
    EXPECT_EQ(app.melody.Tonzahl, 0);
}
