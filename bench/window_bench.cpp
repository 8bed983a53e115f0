// Prints how fast the window comes up and how long the piano roll of a long melody takes.
//   bench_window            (on $DISPLAY when set, else on the offscreen platform)
#include "app/defaults.h"
#include "core/numbers.h"
#include "core/textfile.h"
#include "gui/mainwindow.h"
#include "platform/real.h"

#include <QApplication>
#include <QPaintEvent>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>

using namespace tonfex;
using Steady = std::chrono::steady_clock;

namespace {

double ms(Steady::time_point from, Steady::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// Notes the time of the window's paints.
class PaintWatch : public QObject {
public:
    Steady::time_point firstPaint{}, paintAfterStart{};
    MainWindow* window = nullptr;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            auto now = Steady::now();
            if (firstPaint == Steady::time_point{}) firstPaint = now;
            if (window && window->started() && paintAfterStart == Steady::time_point{}) {
                paintAfterStart = now;
                QTimer::singleShot(0, qApp, &QCoreApplication::quit);
            }
        }
        return false;
    }
};

struct Stats {
    double best, median;
};
template <class F> Stats timed(int runs, F f) {
    std::vector<double> t;
    for (int i = 0; i < runs; ++i) {
        auto a = Steady::now();
        f();
        t.push_back(ms(a, Steady::now()));
    }
    std::sort(t.begin(), t.end());
    return {t.front(), t[t.size() / 2]};
}

} // namespace

int main(int argc, char** argv) {
    auto t0 = Steady::now();
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    auto tApp = Steady::now();

    auto dir = std::filesystem::temp_directory_path() / "tonfex-bench-window";
    std::filesystem::remove_all(dir);
    WorkFolder folder{dir};
    QtDialogs dialogs;
    QtClipboard clipboard;
    SystemProgramStarter programs;
    SystemWindowCloser windows;
    SystemClock clock;
    QtEvents events;
    ClockRandom random;
    DiskFiles files;
    Platform platform{dialogs, clipboard, programs, windows, clock, events, random, files};
    if (std::string error = ensureWorkFolder(files, folder); !error.empty()) {
        std::printf("Arbeitsordner: %s\n", error.c_str());
        return 1;
    }
    // A melody of 1000 tones, so that the start also draws a piano roll.
    {
        std::mt19937 rng(7);
        std::vector<std::string> lines;
        for (int i = 0; i < 1000; ++i)
            lines.push_back(plainText(int(40 + rng() % 50)) + " " +
                            plainText(int(1 + rng() % 127)) + " " + plainText(int(1 + rng() % 12)));
        writeTextLines(files, folder.path(names::melody), lines);
    }
    App app(platform, folder, systemDecimalSeparator());
    MainWindow window(app, events, &dialogs);
    PaintWatch watch;
    watch.window = &window;
    window.installEventFilter(&watch);
    Steady::time_point tStarted{};
    window.onStarted = [&] { tStarted = Steady::now(); };
    window.resize(1280, 800);
    window.show();
    qapp.exec();

    std::printf("Plattform: %s\n", qPrintable(QGuiApplication::platformName()));
    std::printf("Start bis QApplication bereit:           %7.1f ms\n", ms(t0, tApp));
    std::printf("Start bis erstes gemaltes Fenster:       %7.1f ms\n", ms(t0, watch.firstPaint));
    std::printf("Start bis Form_Load fertig:              %7.1f ms\n", ms(t0, tStarted));
    std::printf("Start bis Übersicht (inidat) gezeigt:    %7.1f ms\n",
                ms(t0, watch.paintAfterStart));

    Stats sync = timed(2000, [&] { window.sync(); });
    std::printf("sync() ohne Änderung (je Warterunde):    %7.3f ms (Median %.3f)\n", sync.best,
                sync.median);
    Stats full = timed(50, [&] {
        app.c.inidat.clear();
        window.sync();
        app.Initial();
        window.sync();
    });
    std::printf("sync() mit neuer Einstellungsliste:      %7.3f ms (Median %.3f)\n", full.best,
                full.median);

    // The piano roll of the longest melody the melody file holds.
    std::mt19937 rng(11);
    std::vector<std::string> lines;
    for (int i = 0; i < 32767; ++i)
        lines.push_back(plainText(int(1 + rng() % 127)) + " " + plainText(int(1 + rng() % 127)) +
                        " " + plainText(int(1 + rng() % 9600)));
    PianoRoll roll;
    Stats read = timed(5, [&] { roll = pianoRollFromLines(lines, true, {}, true, '.'); });
    std::printf("Klavierrolle, 32767 Töne lesen:          %7.1f ms (Median %.1f)\n", read.best,
                read.median);
    for (QSize size : {QSize(440, 200), QSize(960, 300), QSize(1600, 500)}) {
        Stats draw = timed(20, [&] { renderPianoRoll(roll, size, 16000); });
        std::printf("Klavierrolle, 32767 Töne malen %4dx%-4d %7.1f ms (Median %.1f)\n",
                    size.width(), size.height(), draw.best, draw.median);
    }
    std::filesystem::remove_all(dir);
    return 0;
}
