// tonfex: the window, or with a verb one command without a display (`bild` draws the melody).
#include "cli/cli.h"
#include "gui/mainwindow.h"
#include "platform/real.h"
#include "ui/session.h"

#include <QApplication>
#include <QScreen>

#include <iostream>

using namespace tonfex;

namespace {

int runWindow(int argc, char** argv, const CliOptions& options) {
    QApplication qapp(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    // The chooser may stay open; the program ends with the main window only.
    qapp.setQuitOnLastWindowClosed(false);

    QtDialogs dialogs;
    QtClipboard clipboard;
    QtEvents events;
    ui::Session session(dialogs, clipboard, events, options.folder);
    if (!session.app()) return 1;
    MainWindow window(*session.app(), events, &dialogs);
    window.onEnd = [](int status) { QCoreApplication::exit(status); };
    QSize room = window.screen()->availableGeometry().size();
    window.resize(std::min(1280, room.width()), std::min(800, room.height()));
    window.show();
    return qapp.exec();
}

int runPicture(int argc, char** argv, const CliOptions& options, Terminal& terminal) {
    // The picture needs fonts but no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication qapp(argc, argv);
    return runBild(options.folder, options.arguments, terminal.out);
}

} // namespace

int main(int argc, char** argv) {
    prepareConsole();
    Terminal terminal{std::cout, std::cin, stdinIsTerminal(), stdoutIsTerminal()};
    int status = runProgram(
        std::vector<std::string>(argv + 1, argv + argc), terminal,
        [&](const CliOptions& options) { return runWindow(argc, argv, options); },
        [&](const CliOptions& options) { return runPicture(argc, argv, options, terminal); });
    std::cout.flush();
    interruptHandled();
    return status;
}
