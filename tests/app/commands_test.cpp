// The one command table: every button is wired once, every name is a control of the window or
// a verb used once, and an event reaches its App handler with the value the window passes.
#include "app/commands.h"
#include "app/fixture.h"

#include <set>

namespace tonfex::testkit {

TEST(CommandTable, WiresEveryButtonOnceAndNamesOnlyControlsOfTheWindow) {
    MainControls c;
    std::set<std::string> controls{"VScroll1", "Bender", "Label5"};
    for (Button* b : c.buttons()) {
        controls.insert(b->name);
        EXPECT_NE(findControl(b->name), nullptr) << b->name;
    }
    for (ListBox* l : c.listBoxes())
        controls.insert(l->name);
    std::set<std::string> seen;
    for (const auto& row : commandTable()) {
        EXPECT_FALSE(row.verb.empty() && row.control.empty());
        EXPECT_TRUE(row.control.empty() || seen.insert(row.control).second) << row.control;
        EXPECT_TRUE(row.verb.empty() || seen.insert("verb " + row.verb).second) << row.verb;
        EXPECT_TRUE(row.control.empty() || controls.count(row.control)) << row.control;
        EXPECT_TRUE(row.run || (!row.verb.empty() && row.control.empty())) << row.verb;
    }
    EXPECT_EQ(findControl("Text1"), nullptr);
    EXPECT_EQ(findControl(""), nullptr);
    EXPECT_EQ(findCommand(""), nullptr);
    // A verb and its button are one row: the window runs what the command line runs.
    EXPECT_EQ(findCommand("neu"), findControl("Dateiherstellung"));
    EXPECT_EQ(findCommand("regel"), findControl("Ubersicht"));
    // Only the front end that draws lists the picture.
    EXPECT_FALSE(has(verbHelp(false), "bild"));
    EXPECT_TRUE(has(verbHelp(true), "  bild DATEI.png  Bild der Melodiedatei"));
}

using ActionTest = AppTest;

TEST_F(ActionTest, EventsReachTheirHandlersWithTheClickedLineOrPosition) {
    findControl("KeineFrage")->run(app, {});
    EXPECT_TRUE(app.KeineFrageFlag);
    findControl("Stopp")->run(app, {});
    EXPECT_TRUE(app.stopPressed);

    // A click on a summary line follows its link: the row number arrives as the line index.
    app.Initial();
    findControl("Kurzubersicht")->run(app, {});
    const auto& lines = app.c.inidat.lines();
    auto row = std::find_if(lines.begin(), lines.end(), [](const std::string& line) {
        return line.find("(Tdd)") != std::string::npos;
    });
    ASSERT_NE(row, lines.end());
    findControl("inidat")->run(app, {{}, double(row - lines.begin())});
    EXPECT_EQ(tp.clipboard.text, "Tdd");

    // The bend area hands over its position in scale units.
    findControl("Bender")->run(app, {{}, 12883});
    EXPECT_EQ(app.c.Bender.markerY, 12883.0);
    EXPECT_TRUE(testkit::has(app.c.txtNot.text(), " Hz"));
}

} // namespace tonfex::testkit
