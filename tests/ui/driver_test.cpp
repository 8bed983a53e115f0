// The window driver without a window: what it tells a painter, how it ends commands, where the
// plan puts the controls, the bend mapping and the melody-file watch.
#include "app/commands.h"
#include "app/fixture.h"
#include "core/errors.h"
#include "ui/driver.h"

#include <functional>
#include <stdexcept>

using namespace tonfex;

namespace {

// Notes every report as "what control value"; keeps the boxes placed and the roll shown.
struct Recorder {
    const std::vector<ui::Slot>* places = nullptr;
    std::vector<std::string> log;
    std::vector<Box> boxes = std::vector<Box>(100, Box{0, 0, 10, 10}); // as a new widget lies
    int status = -1;
    PianoRoll roll;
    ui::Painter p;

    void note(const char* what, int i, const std::string& value) {
        log.push_back(std::string(what) + (i < 0 ? "" : " " + (*places)[size_t(i)].model->name) +
                      (value.empty() ? "" : " " + value));
    }
    Recorder() {
        auto text = [](auto n) { return std::to_string(n); };
        p.place = [this](int i, const Box& b) { boxes[size_t(i)] = b; };
        p.showLook = [this](int i, const Control&) { note("look", i, ""); };
        p.showState = [=, this](int i, bool on, bool shown) {
            note("state", i, text(on) + text(shown));
        };
        p.showCaption = [this](int i, const std::string& t) { note("caption", i, t); };
        p.showLines = [=, this](int i, auto&, size_t from) { note("lines", i, text(from)); };
        p.showSelection = [=, this](int i, int row) { note("select", i, text(row)); };
        p.showScroll = [=, this](const ScrollBar& m) { note("scroll", -1, text(m.value)); };
        p.showBend = [this] { note("bend", -1, ""); };
        p.showTitle = [this](bool chooser, auto& t) { note(chooser ? "chooser" : "title", -1, t); };
        p.showChooser = [=, this](bool on) { note("chooser", -1, text(on)); };
        p.showRoll = [this](const PianoRoll& r) { roll = r; };
        p.showSounding = [=, this](int tone) { note("sounding", -1, text(tone)); };
        p.showPrinted = [this] { note("printed", -1, ""); };
        p.ended = [this](int s) { status = s; };
    }
};

struct QuietEvents : ui::WindowEvents {
    void handlePending() override {}
};

struct DriverTest : testkit::AppTest {
    Recorder rec;
    QuietEvents events;
    ui::Driver d{app, rec.p, events};
    MainControls& c = app.c;
    DriverTest() { rec.places = &d.places(); }
};

} // namespace

TEST_F(DriverTest, TellsThePainterOnlyWhatChanged) {
    d.sync();
    struct Case {
        std::function<void()> change;
        std::vector<std::string> reports;
    };
    const Case cases[] = {
        {[] {}, {}},
        {[&] { c.Dateiherstellung.caption = "Neu!"; }, {"caption Dateiherstellung Neu!"}},
        {[&] { c.Startknopf.enabled = false; }, {"state Startknopf 01", "state MID 01"}},
        {[&] { c.Daten.add("a"), c.Daten.add("b"); }, {"lines Daten 0", "select Daten -1"}},
        {[&] { c.Daten.add("c"); }, {"lines Daten 2", "select Daten -1"}},
        {[&] { c.Daten.clear(), c.Daten.add("x"); }, {"lines Daten 0", "select Daten -1"}},
        {[&] { c.Daten.selected = 0; }, {"select Daten 0"}},
        {[&] { c.Text5.setText("T"); }, {"caption Text5 T"}},
        {[&] { c.KeineFrage.back = colors::white; }, {"look KeineFrage"}},
        {[&] { c.Label2.fontSize = 9; }, {"look Label2"}},
        {[&] { c.Label5.visible = false; }, {"state Label5 10"}},
        {[&] { c.VScroll1.value = 5; }, {"scroll 5"}},
        {[&] { c.Bender.markerY = 3; }, {"bend"}},
        {[&] { c.printed.push_back("Mausekuchen"); }, {"printed"}},
        {[&] { app.soundingTone = 2; }, {}}, // marked only while a command plays
        {[&] { d.invoke("Startknopf", [&] { d.sync(); }); }, {"sounding 2", "sounding 0"}},
        {[&] { c.caption = "Tonfex"; }, {"title Tonfex"}},
        {[&] { c.liniencaption = "Wahl", c.linienVisible = true; }, {"chooser Wahl", "chooser 1"}},
        // What the composer typed is shown already: it is not drawn back.
        {[&] { d.edited(d.slotOf(c.Tempobox), "2"); }, {}},
    };
    for (const Case& k : cases) {
        rec.log.clear();
        k.change();
        d.sync();
        EXPECT_EQ(rec.log, k.reports) << (k.reports.empty() ? "" : k.reports.front());
    }
    EXPECT_EQ(c.Tempobox.text(), "2");
}

TEST_F(DriverTest, EveryCommandEndsUnderOnePolicy) {
    struct Case {
        const char* name;
        std::function<void(ui::Driver&)> fail;
        std::string said; // the message box, if any
        int status;       // of the program's end; -1: it goes on
    };
    const Case cases[] = {
        {"Stopp", [](ui::Driver&) { throw CommandEnd(); }, "", -1},
        {"Ende", [](ui::Driver&) { throw ProgramEnd(); }, "", 0},
        {"Startknopf", [](ui::Driver&) { throw ProgramEnd(); }, "", 1}, // "Nein" to a question
        {"Stopp", [](ui::Driver&) { throw std::runtime_error("kaputt"); },
         "FEHLER: Unerwarteter Fehler: kaputt", -1},
        {"Stopp", [](ui::Driver&) { throw 7; }, "FEHLER: Unerwarteter Fehler", -1},
        // Closed during a command, the window stops it and ends after it.
        {"Dateiherstellung", [](ui::Driver& dr) { EXPECT_FALSE(dr.closeRequested()); }, "", 0},
    };
    for (const Case& k : cases) {
        Recorder r;
        r.places = &d.places();
        QuietEvents end;
        ui::Driver driver{app, r.p, end};
        tp.dialogs.records.clear();
        app.stopPressed = false;
        EXPECT_TRUE(driver.invoke(k.name, [&] { k.fail(driver); })) << k.name;
        EXPECT_EQ(std::tuple(said(), r.status, driver.depth()), std::tuple(k.said, k.status, 0));
        EXPECT_EQ(app.stopPressed, k.name == std::string("Dateiherstellung"));
    }
    // Inside a command its own control waits, an end waits for it, and then nothing runs.
    bool again = true;
    d.invoke("Startknopf", [&] {
        again = d.invoke("Startknopf", [] {});
        d.invoke("Ende", [] { throw ProgramEnd(); });
        EXPECT_EQ(std::pair(d.depth(), rec.status), std::pair(1, -1));
    });
    EXPECT_EQ(std::tuple(again, rec.status, d.run("Stopp")), std::tuple(false, 0, false));
}

// The boxes the painter was given, in pixels at 96 dots per inch.
TEST_F(DriverTest, PlanKeepsEveryVisibleControlInsideTheWindowAndItsFrame) {
    auto check = [&](const char* state, int width) {
        d.resize(width, 800, 96, 17);
        d.sync();
        std::vector<std::pair<Box, bool>> shown; // the box, whether it is a frame
        for (size_t i = 0; i < d.places().size(); ++i) {
            const ui::Slot& s = d.places()[i];
            if (s.inChooser || (s.model && !s.model->visible) || rec.boxes[i].width() == 0) continue;
            shown.push_back({rec.boxes[i], s.kind == ui::Kind::Group});
        }
        auto inside = [](const Box& o, const Box& b, int top) {
            return b.left >= o.left && b.top >= o.top + top && b.right <= o.right &&
                   b.bottom <= o.bottom;
        };
        for (size_t i = 0; i < shown.size(); ++i) {
            EXPECT_TRUE(inside({0, 0, width, 800}, shown[i].first, 0)) << state << " " << i;
            for (size_t j = i + 1; j < shown.size(); ++j) {
                auto [a, frameA] = shown[i];
                auto [b, frameB] = shown[j];
                if (a.right <= b.left || b.right <= a.left || a.bottom <= b.top || b.bottom <= a.top)
                    continue;
                // Only a frame meets a control, which lies in it below the frame's title.
                EXPECT_TRUE(frameA != frameB && (frameA ? inside(a, b, 14) : inside(b, a, 14)))
                    << state << " " << i << " / " << j;
            }
        }
    };
    app.Form_Load();
    check("Start", 1280);
    for (const auto& row : commandTable()) // every wired control has its place
        EXPECT_TRUE(row.control.empty() ||
                    std::any_of(d.places().begin(), d.places().end(), [&](const ui::Slot& s) {
                        return s.model && s.model->name == row.control;
                    }))
            << row.control;
    c.Command1.visible = c.Reaperstart.visible = true; // each pair shares its cell
    c.Text1.visible = c.Leuchtfarbe[0].visible = true;
    c.Label4.caption = "Ton";
    app.inidat_Click(-1); // the reduced settings list with the play lists below it
    c.Daten.visible = c.Zuordnung.visible = true;
    check("klein", 1280);
    auto box = [&](const Control& m) { return rec.boxes[size_t(d.slotOf(m))]; };
    const Box daten = box(c.Daten), zuordnung = box(c.Zuordnung);
    EXPECT_NEAR(daten.width() * 5.0 / (zuordnung.right - daten.left), 2.0, 0.05); // two fifths
    c.List2.width = 11540; // widened, it leaves the settings list its room beside it
    check("breit", 1024);
    EXPECT_TRUE(box(c.inidat).left > box(c.List2).right && box(c.inidat).width() >= 100);
}

TEST(BendArea, MapsHeightToValueWithTheHighestAtTheTop) {
    BendArea m;
    m.scaleMin = 3500, m.scaleMax = 12883;
    // The height in a box of 101 pixels, its value, and where the line of that value lies.
    for (auto [y, value, marker] : {std::tuple{0, 12883.0, 0}, {100, 3500.0, 100},
                                    {50, 8191.5, 50}, {-5, 12883.0, 0}, {400, 3500.0, 100}}) {
        m.markerY = ui::bendValueAt(m, y, 101);
        EXPECT_EQ(std::pair(m.markerY, ui::bendMarkerY(m, 101)), std::pair(value, marker)) << y;
    }
    m.scaleMax = m.scaleMin;
    EXPECT_EQ(ui::bendMarkerY(m, 101), -1); // no scale, no line
}

TEST(ScrollBar, RequestsMoveThePositionWithinTheModelAndReportOnlyANewValue) {
    ScrollBar m;
    m.min = 10, m.max = 110, m.value = 50, m.smallChange = 2, m.largeChange = 20; // position 70
    using R = ui::ScrollRequest;
    // The request, the thumb's track position, the new position (-1: the value stays).
    for (auto [request, track, position] :
         {std::tuple{R::LineUp, 0, 68}, {R::LineDown, 0, 72}, {R::PageUp, 0, 50},
          {R::PageDown, 0, 90}, {R::Top, 0, 10}, {R::Bottom, 0, 110}, {R::Thumb, 500, 110},
          {R::Thumb, -3, 10}, {R::Thumb, 70, -1}})
        EXPECT_EQ(ui::scrollTarget(m, request, 70, track, 0, 120).value_or(-1), position)
            << track;
}

TEST_F(DriverTest, AnIdleWindowFollowsTheMelodyFileWithoutAsking) {
    testkit::writeBytes(tmp / "Tonfex.txt", "60 100 4\r\n62 100 4\r\n64 100 4\r\n");
    settings({{"SOUND", "1"}});
    d.start();
    EXPECT_EQ(rec.roll.tones.size(), 3u);
    const size_t dialogs = tp.dialogs.records.size();
    testkit::writeBytes(tmp / "Tonfex.txt", "200 300 4\r\n48 90 2\r\n"); // corrected, unasked
    d.idle();
    EXPECT_EQ(std::pair(rec.roll.tones.size(), rec.roll.corrected), std::pair(size_t(2), 2));
    EXPECT_EQ(tp.dialogs.records.size(), dialogs);
}
