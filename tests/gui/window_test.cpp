// Clicks through the window as a composer does, on temporary working folders.
#include "app/commands.h"
#include "app/defaults.h"
#include "core/textfile.h"
#include "gui/mainwindow.h"
#include "platform/doubles.h"
#include "settings/template.h"
#include "support.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

using namespace tonfex;

namespace {

struct WindowTest : ::testing::Test {
    testkit::TempFolder tmp;
    TestPlatform tp;
    QtEvents events;
    Platform platform{tp.dialogs, tp.clipboard, tp.programs, tp.windows,
                      tp.clock,   events,       tp.random,   tp.files};
    App app{platform, tmp.folder(), '.', OsKind::Windows};
    std::unique_ptr<MainWindow> window;

    WindowTest() { EXPECT_EQ(ensureWorkFolder(tp.files, tmp.folder()), ""); }

    // Opens the window on the template's settings with some values replaced.
    void open(const testkit::KeyValues& values = {}) {
        writeTextLines(tp.files, tmp / "Tonfex.ini",
                       testkit::withValues(settingsTemplate(), values));
        window.reset(); // a window leaving unhooks the events from the window drawing
        window = std::make_unique<MainWindow>(app, events);
        window->resize(1280, 800);
        window->show();
        window->start();
    }
    template <class T = QWidget> T* w(const char* name) {
        T* found = window->findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    void click(const char* name) { QTest::mouseClick(w<QPushButton>(name), Qt::LeftButton); }
    // Runs `step` in the first wait of the command started next.
    void inFirstWait(std::function<void()> step) { QTimer::singleShot(0, window.get(), step); }
    // The lines a list widget shows.
    std::vector<std::string> shown(const char* list) {
        std::vector<std::string> lines;
        auto* l = w<QListWidget>(list);
        for (int i = 0; i < l->count(); ++i)
            lines.push_back(l->item(i)->text().toStdString());
        return lines;
    }
    // Every button shows its model (only wired buttons enabled) and its caption fits; the lists
    // show theirs. Where the controls lie is the driver's plan (tests/ui).
    void expectModelsDrawn() {
        for (Button* b : app.c.buttons()) {
            auto* widget = w<QPushButton>(b->name.c_str());
            ASSERT_NE(widget, nullptr);
            EXPECT_EQ(widget->text().toStdString(), b->caption) << b->name;
            EXPECT_EQ(widget->toolTip().toStdString(), b->tooltip) << b->name;
            EXPECT_EQ(widget->isEnabled(), b->enabled && findControl(b->name) != nullptr) << b->name;
            EXPECT_EQ(widget->isVisibleTo(window.get()), b->visible) << b->name;
            int needed = widget->fontMetrics().horizontalAdvance(widget->text()) + 8;
            EXPECT_TRUE(!b->visible || needed <= widget->width()) << b->name;
            EXPECT_EQ(widget->palette().color(QPalette::Button).name().toStdString(),
                      QColor(b->back.r, b->back.g, b->back.b).name().toStdString())
                << b->name;
        }
        for (ListBox* l : app.c.listBoxes()) {
            if (l == &app.c.Lini) continue; // in the chooser
            EXPECT_EQ(shown(l->name.c_str()), l->lines()) << l->name;
        }
    }
};

} // namespace

TEST_F(WindowTest, StartDrawsEveryModelInBothModes) {
    for (const char* sound : {"1", "3"}) {
        SCOPED_TRACE(sound);
        open({{"SOUND", sound}, {"TONFINDUNGSMETHODE", "3"}});
        EXPECT_EQ(w<QLabel>("Label2")->text().toStdString(), app.c.Label2.caption);
        expectModelsDrawn(); // Startknopf in MIDI mode, Command1 in sample mode, ...
        EXPECT_EQ(window->focusWidget(), w("Dateiherstellung")); // the first key press is "Neu"
    }
}

TEST_F(WindowTest, NeuShowsEveryStepAndDrawsTheNewMelodyInBothModes) {
    struct Case {
        const char *sound, *tfm, *mode;
        int samples; // 5 stands for a read catalogue; sample mode reads the default one
    };
    for (const auto& k : {Case{"1", "0.1", "WAVETABLE", 5}, Case{"3", "0.2", "SAMPLER", 13}}) {
        SCOPED_TRACE(k.mode);
        open({{"SOUND", k.sound}, {"TONFINDUNGSMETHODE", k.tfm}});
        app.Samplezahl = 5;
        bool neuLocked = false, datenShown = false;
        QString mode;
        inFirstWait([&] {
            neuLocked = !w("Dateiherstellung")->isEnabled();
            datenShown = w("Daten")->isVisible();
            mode = w<QLineEdit>("txtNot")->text();
        });
        click("Dateiherstellung");
        EXPECT_TRUE(neuLocked && datenShown);
        EXPECT_EQ(mode, k.mode);
        // Every sample once; after the play the buttons are free again.
        ASSERT_EQ(window->pianoRoll()->roll().tones.size(), size_t(k.samples));
        EXPECT_EQ(window->pianoRoll()->roll().high, k.samples);
        expectModelsDrawn();
        EXPECT_EQ(window->depth(), 0);
    }
}

TEST_F(WindowTest, SummaryLineLinkAndEmptyLineToggle) {
    open();
    app.c.inidat.clear();
    app.c.inidat.add("  SAMPLER mit Tonfex-HCR.rpp (Snd)");
    app.c.inidat.add("");
    app.LinkFlag = true;
    window->sync();
    auto* list = w<QListWidget>("inidat");
    auto clickLine = [&](int row) {
        QRect r = list->visualItemRect(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
    };
    clickLine(0);
    EXPECT_EQ(tp.clipboard.text, "Snd");
    ASSERT_EQ(tp.programs.starts.size(), 1u);
    clickLine(1);
    EXPECT_EQ(tp.programs.starts.size(), 1u);
    EXPECT_TRUE(w("Daten")->isVisible() && w("Zuordnung")->isVisible());
    EXPECT_EQ(shown("inidat"), settingsTemplate());
}

// The suite also runs under a German process locale, which Qt takes from the environment.
TEST_F(WindowTest, SettingsDecimalsReadAlikeUnderAnyProcessLocale) {
    open({{"TONFINDUNGSMETHODE", "0.1"}, {"ZWISCHENRAUM", "2.5"}});
    const auto lines = shown("inidat");
    for (const char* line :
         {"  REGEL 0.1 (TESTMODUS) (TFm)", "  Pausen zwischen den Samples: 2.5 (Zwv)"})
        EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << line;
}

TEST_F(WindowTest, ChooserShowsItsListAndHidesWhenClosed) {
    open();
    app.c.Lini.add(app.folder.text("Tonfex-030327-0905-07.ini"));
    app.c.linienVisible = true;
    window->sync();
    QWidget* chooser = window->chooser();
    EXPECT_TRUE(chooser->isVisible() && chooser->findChild<QListWidget*>("Lini")->count() == 1);
    chooser->close();
    EXPECT_FALSE(app.c.linienVisible);
}

TEST_F(WindowTest, DeleteKeyPrintsOnTheSurface) {
    open();
    auto darkPixels = [&] {
        QImage image = window->grab(QRect(0, 0, 7, 40)).toImage();
        int dark = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                dark += qGray(image.pixel(x, y)) < 100;
        return dark;
    };
    EXPECT_EQ(darkPixels(), 0);
    QTest::keyClick(w("Text1"), Qt::Key_Delete);
    EXPECT_GT(darkPixels(), 0);
    EXPECT_EQ(app.c.printed, std::vector<std::string>{"Mausekuchen"}); // through App::Text1_KeyDown
}
