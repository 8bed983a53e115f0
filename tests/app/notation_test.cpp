#include "app/commands.h"
#include "fixture.h"
#include "notation/notation_kit.h"

using namespace tonfex;
using tonfex::testkit::AppTest;

namespace {
void runVerb(App& app, const std::string& verb) {
    const Command* command = findCommand(verb);
    ASSERT_NE(command, nullptr) << verb;
    command->run(app, Call{});
}
} // namespace

TEST_F(AppTest, NkWritesTheScoreFromTheMelodyFileAndTheDurationList) {
    settings("KURZESTWERT 8, TONDAUERDIREKT 0, TAKT 68");
    testkit::writeBytes(tmp / "Tonfex.txt", "60 100 4\r\n62 100 5\r\n");
    app.Form_Load();
    app.c.erklaminus.visible = true;
    app.c.inidat.bold = true;
    runVerb(app, "nk");
    const std::string score = file("Tonfex-Cap.xml");
    // The default list gives 1200 and 2400: an eighth and a quarter; the date is the clock's.
    for (const char* piece :
         {"<duration>240</duration>\r\n                <voice>1</voice>\r\n"
          "                <type>eighth</type>",
          "<type>quarter</type>", "<beats>6</beats>", "<encoding-date>2027-03-03</encoding-date>"})
        EXPECT_TRUE(testkit::has(score, piece));
    EXPECT_EQ(testkit::musicXmlProblems(tmp / "Tonfex-Cap.xml"), "");
    EXPECT_FALSE(app.c.erklaminus.visible || app.c.inidat.bold);
    EXPECT_TRUE(tp.dialogs.records.empty());
    TONFEX_REPORT_SCHEMA_SKIP();
}

TEST_F(AppTest, DefaultExportsAreValidAndBecomeBothPatterns) {
    for (const char* name : {"Tonfex-01.xml", "Tonfex-02.xml"})
        EXPECT_EQ(testkit::musicXmlProblems(tmp / name), "") << name;
    app.Form_Load();
    app.KeineFrage_Click();
    runVerb(app, "xml01");
    EXPECT_EQ(
        file("Tonfex-Cap-PT.txt"),
        "48  100  4000\r\n55  100  4000\r\n53  100  2000\r\n52  100  2000\r\n50  100  4000\r\n");
    runVerb(app, "xml02");
    EXPECT_EQ(file("Tonfex-Cap-02.txt"),
              "60  100  2000\r\n62  100  1000\r\n64  100  1000\r\n66  100  6000\r\n"
              "66  1  1000\r\n67  100  1000\r\n58  100  4000\r\n60  100  8000\r\n");
    EXPECT_EQ(app.c.Zuordnung.lines()[1], "Datei " + (tmp / "Tonfex-Cap-02.txt").string());
    EXPECT_TRUE(app.c.Zuordnung.visible && app.c.Daten.visible);
    EXPECT_TRUE(tp.dialogs.records.empty());
    TONFEX_REPORT_SCHEMA_SKIP();
}
