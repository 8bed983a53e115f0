// The action table both windows share: every button is wired once, every name is a control
// of the window, and an event reaches its App handler with the value the window passes.
#include "app/actions.h"
#include "app/fixture.h"

#include <set>

namespace tonfex::testkit {

TEST(ActionTable, WiresEveryButtonOnceAndNamesOnlyControlsOfTheWindow) {
    MainControls c;
    std::set<std::string> controls{"VScroll1", "Bender", "Label5"};
    for (Button* b : c.buttons()) {
        controls.insert(b->name);
        EXPECT_NE(findAction(b->name), nullptr) << b->name;
    }
    for (ListBox* l : c.listBoxes())
        controls.insert(l->name);
    std::set<std::string_view> seen;
    for (const auto& action : controlActions()) {
        EXPECT_TRUE(seen.insert(action.control).second) << "zweimal: " << action.control;
        EXPECT_TRUE(controls.count(std::string(action.control))) << action.control;
    }
    EXPECT_EQ(findAction("Text1"), nullptr);
}

using ActionTest = AppTest;

TEST_F(ActionTest, EventsReachTheirHandlersWithTheClickedLineOrPosition) {
    findAction("KeineFrage")->run(app, 0);
    EXPECT_TRUE(app.KeineFrageFlag);
    findAction("Stopp")->run(app, 0);
    EXPECT_TRUE(app.stopPressed);

    // A click on a summary line follows its link: the row number arrives as the line index.
    app.Initial();
    findAction("Kurzubersicht")->run(app, 0);
    const auto& lines = app.c.inidat.lines();
    auto row = std::find_if(lines.begin(), lines.end(), [](const std::string& line) {
        return line.find("(Tdd)") != std::string::npos;
    });
    ASSERT_NE(row, lines.end());
    findAction("inidat")->run(app, double(row - lines.begin()));
    EXPECT_EQ(tp.clipboard.text, "Tdd");

    // The bend area hands over its position in scale units.
    findAction("Bender")->run(app, 12883);
    EXPECT_EQ(app.c.Bender.markerY, 12883.0);
    EXPECT_TRUE(testkit::has(app.c.txtNot.text(), " Hz"));
}

} // namespace tonfex::testkit
