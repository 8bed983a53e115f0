// The window driver without a window: what it tells a painter, how it ends commands, where the
// plan puts the controls, the bend mapping and the melody-file watch.
#include "app/fixture.h"
#include "core/errors.h"
#include "ui/driver.h"

#include <functional>
#include <stdexcept>

using namespace tonfex;
using ui::Kind;

namespace {

// Notes every report as "what control value"; keeps the boxes placed and the roll shown.
struct Recorder : ui::Painter {
    const std::vector<ui::Slot>* places = nullptr;
    std::vector<std::string> log;
    std::vector<Box> boxes = std::vector<Box>(100, Box{0, 0, 10, 10}); // as a new widget lies
    int status = -1;
    PianoRoll roll;

    void note(const char* what, int i, const std::string& value) {
        log.push_back(std::string(what) + (i < 0 ? "" : " " + (*places)[size_t(i)].model->name) +
                      (value.empty() ? "" : " " + value));
    }
    void place(int i, const Box& b) override { boxes[size_t(i)] = b; }
    void showColours(int i, const Control&) override { note("colours", i, ""); }
    void showFont(int i, const Control&) override { note("font", i, ""); }
    void showEnabled(int i, bool on) override { note("enabled", i, std::to_string(on)); }
    void showVisible(int i, bool on) override { note("visible", i, std::to_string(on)); }
    void showCaption(int i, const std::string& text) override { note("caption", i, text); }
    void showLines(int i, const std::vector<std::string>&, size_t from) override {
        note("lines", i, std::to_string(from));
    }
    void showSelection(int i, int row) override { note("select", i, std::to_string(row)); }
    void showScroll(const ScrollBar& m) override { note("scroll", -1, std::to_string(m.value)); }
    void showBend() override { note("bend", -1, ""); }
    void showTitle(const std::string& caption) override { note("title", -1, caption); }
    void showChooserTitle(const std::string& caption) override { note("chooser", -1, caption); }
    void showChooser(bool on) override { note("chooser", -1, std::to_string(on)); }
    void showRoll(const PianoRoll& r) override { roll = r; }
    void showSounding(int tone) override { note("sounding", -1, std::to_string(tone)); }
    void showPrinted() override { note("printed", -1, ""); }
    void ended(int s) override { status = s; }
};

struct DriverTest : testkit::AppTest {
    Recorder rec;
    bool endRequested = false;
    ui::Driver d{app, rec, endRequested};
    MainControls& c = app.c;
    DriverTest() { rec.places = &d.places(); }
};

} // namespace

TEST_F(DriverTest, TellsThePainterOnlyWhatChanged) {
    d.sync();
    rec.log.clear();
    d.sync();
    EXPECT_EQ(rec.log, std::vector<std::string>{});
    struct Case {
        std::function<void()> change;
        std::vector<std::string> reports;
    };
    const Case cases[] = {
        {[&] { c.Dateiherstellung.caption = "Neu!"; }, {"caption Dateiherstellung Neu!"}},
        {[&] { c.Startknopf.enabled = false; }, {"enabled Startknopf 0", "enabled MID 0"}},
        {[&] { c.Daten.add("a"), c.Daten.add("b"); }, {"lines Daten 0", "select Daten -1"}},
        {[&] { c.Daten.add("c"); }, {"lines Daten 2", "select Daten -1"}},
        {[&] { c.Daten.clear(), c.Daten.add("x"); }, {"lines Daten 0", "select Daten -1"}},
        {[&] { c.Daten.selected = 0; }, {"select Daten 0"}},
        {[&] { c.Text5.setText("T"); }, {"caption Text5 T"}},
        {[&] { c.KeineFrage.back = colors::white; }, {"colours KeineFrage"}},
        {[&] { c.Label2.fontSize = 9; }, {"font Label2"}},
        {[&] { c.Label5.visible = false; }, {"visible Label5 0"}},
        {[&] { c.VScroll1.value = 5; }, {"scroll 5"}},
        {[&] { c.Bender.markerY = 3; }, {"bend"}},
        {[&] { c.printed.push_back("Mausekuchen"); }, {"printed"}},
        {[&] { app.soundingTone = 2; }, {}}, // marked only while a command plays
        {[&] { d.invoke("Startknopf", [&] { d.sync(); }); }, {"sounding 2", "sounding 0"}},
        {[&] { c.caption = "Tonfex"; }, {"title Tonfex"}},
        {[&] { c.liniencaption = "Wahl", c.linienVisible = true; }, {"chooser Wahl", "chooser 1"}},
    };
    for (const Case& k : cases) {
        rec.log.clear();
        k.change();
        d.sync();
        EXPECT_EQ(rec.log, k.reports) << (k.reports.empty() ? "" : k.reports.front());
    }
    // What the composer typed or picked is shown already: it is not drawn back.
    rec.log.clear();
    d.edited(d.slotOf(c.Tempobox), "2");
    d.sync();
    EXPECT_EQ(std::pair(c.Tempobox.text(), rec.log.size()), std::pair(std::string("2"), size_t(0)));
}

TEST_F(DriverTest, EveryCommandEndsUnderOnePolicy) {
    struct Case {
        const char* name;
        std::function<void()> fail;
        std::string said; // the message box, if any
        int status;       // of the program's end; -1: it goes on
    };
    const Case cases[] = {
        {"Stopp", [] { throw CommandEnd(); }, "", -1},
        {"Ende", [] { throw ProgramEnd(); }, "", 0},
        {"Startknopf", [] { throw ProgramEnd(); }, "", 1}, // "Nein" to a fatal question
        {"Stopp", [] { throw std::runtime_error("kaputt"); }, "FEHLER: Unerwarteter Fehler: kaputt", -1},
        {"Stopp", [] { throw 7; }, "FEHLER: Unerwarteter Fehler", -1},
    };
    for (const Case& k : cases) {
        Recorder r;
        r.places = &d.places();
        bool end = false;
        ui::Driver driver{app, r, end};
        tp.dialogs.records.clear();
        EXPECT_TRUE(driver.invoke(k.name, k.fail)) << k.said;
        EXPECT_EQ(std::tuple(said(), r.status, driver.depth()), std::tuple(k.said, k.status, 0));
    }
    // Inside a running command its own control waits, and an end waits for the outer command.
    int depth = 0;
    bool again = true;
    d.invoke("Startknopf", [&] {
        again = d.invoke("Startknopf", [] {});
        d.invoke("Ende", [] { throw ProgramEnd(); });
        depth = d.depth();
        EXPECT_EQ(rec.status, -1);
    });
    EXPECT_EQ(std::tuple(again, depth, rec.status, d.ending()), std::tuple(false, 1, 0, true));
    EXPECT_FALSE(d.run("Stopp")); // an ended window runs nothing
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
            shown.push_back({rec.boxes[i], s.kind == Kind::Group});
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
    c.Command1.visible = c.Reaperstart.visible = true; // each pair shares its cell
    c.Text1.visible = c.Leuchtfarbe[0].visible = true;
    c.Label4.caption = "Ton";
    app.inidat_Click(-1); // the reduced settings list with the play lists below it
    c.Daten.visible = c.Zuordnung.visible = true;
    check("klein", 1280);
    const Box daten = rec.boxes[size_t(d.slotOf(c.Daten))];
    const Box zuordnung = rec.boxes[size_t(d.slotOf(c.Zuordnung))];
    EXPECT_NEAR(daten.width() * 5.0 / (zuordnung.right - daten.left), 2.0, 0.05); // two fifths
    c.List2.width = 11540; // widened, it leaves the settings list its room beside it
    check("breit", 1024);
    const Box inidat = rec.boxes[size_t(d.slotOf(c.inidat))];
    EXPECT_TRUE(inidat.left > rec.boxes[size_t(d.slotOf(c.List2))].right && inidat.width() >= 100);
}

TEST(BendArea, MapsHeightToValueWithTheHighestAtTheTop) {
    BendArea m;
    m.scaleMin = 3500, m.scaleMax = 12883;
    struct Case {
        int y;
        double value;
        int marker; // where the line of that value is drawn
    };
    for (const Case& k : {Case{0, 12883, 0}, Case{100, 3500, 100}, Case{50, 8191.5, 50},
                          Case{-5, 12883, 0}, Case{400, 3500, 100}}) {
        double value = ui::bendValueAt(m, k.y, 101);
        m.markerY = value;
        EXPECT_EQ(std::pair(value, ui::bendMarkerY(m, 101)), std::pair(k.value, k.marker)) << k.y;
    }
    m.scaleMax = m.scaleMin;
    EXPECT_EQ(ui::bendMarkerY(m, 101), -1); // no scale, no line
}

TEST_F(DriverTest, AnIdleWindowFollowsTheMelodyFileWithoutAsking) {
    testkit::writeBytes(tmp / "Tonfex.txt", "60 100 4\r\n62 100 4\r\n64 100 4\r\n");
    settings({{"SOUND", "1"}});
    d.start();
    EXPECT_EQ(rec.roll.tones.size(), 3u);
    const size_t dialogs = tp.dialogs.records.size();
    // Values the player would ask about are drawn corrected, without a question.
    testkit::writeBytes(tmp / "Tonfex.txt", "200 300 4\r\n48 90 2\r\n");
    d.idle();
    EXPECT_EQ(std::tuple(rec.roll.tones.size(), rec.roll.low, rec.roll.high, rec.roll.corrected),
              std::tuple(size_t(2), 48, 127, 2));
    std::filesystem::remove(tmp / "Tonfex.txt");
    d.idle();
    EXPECT_NE(rec.roll.error.find("nicht vorhanden"), std::string::npos);
    EXPECT_EQ(tp.dialogs.records.size(), dialogs);
}
