#include "cli/cli.h"

#include "app/app.h"
#include "app/commands.h"
#include "app/defaults.h"
#include "cli/play_files.h"
#include "core/errors.h"
#include "platform/real.h"
#include "platform/virtual_clock.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <limits>
#include <optional>

namespace tonfex {

namespace {

// Options that take a value; later commands add theirs here.
const std::vector<std::string> kValueOptions = {"--arbeit", "--midi-protokoll", "--mid", "--wav",
                                                "--seed"};

// The value of --seed: "zufall" is -1, else a whole number of 32 bits.
std::optional<std::int32_t> seedValue(const std::string& text) {
    if (text == "zufall") return -1;
    size_t digits = text.size() > 1 && text[0] == '-' ? 1 : 0;
    if (digits == text.size() || text.size() - digits > 10) return std::nullopt;
    for (size_t k = digits; k < text.size(); ++k)
        if (text[k] < '0' || text[k] > '9') return std::nullopt;
    long long v = std::stoll(text);
    if (v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(v);
}

// No window: each round of events only looks for Ctrl-C or SIGTERM, which end the command.
class InterruptEvents : public Events {
public:
    void process() override {
        if (interruptRequested()) throw Interrupted();
    }
};

// Prints what a composer watches: the lines added to Daten and Zuordnung, the progress text.
class PrintingObserver : public ModelObserver {
public:
    PrintingObserver(Terminal& t, MainControls& c) : t_(t), c_(c) {}
    void lineAdded(const ListBox& list, const std::string& line) override {
        if (&list != &c_.Daten && &list != &c_.Zuordnung) return;
        endProgress();
        // Each line at once, also into a pipe or a file: a play shows where it is.
        t_.out << line << '\n' << std::flush;
    }
    void textChanged(const TextBox& box) override {
        if (&box != &c_.Text1 || !t_.outIsTerminal) return;
        t_.out << '\r' << progressLine(box.text()) << "\x1b[K" << std::flush;
        progressShown_ = true;
    }
    void endProgress() {
        if (progressShown_) t_.out << '\n';
        progressShown_ = false;
        lastTone_ = 0;
    }

private:
    // "Ton i von n" as a bar with the share done and the time still to go, estimated from
    // the time since the first tone.
    std::string progressLine(const std::string& text) {
        int i = 0, n = 0;
        if (std::sscanf(text.c_str(), "Ton %d von %d", &i, &n) != 2 || n <= 0) return text;
        const auto now = std::chrono::steady_clock::now();
        if (i < lastTone_ || lastTone_ == 0) started_ = now;
        lastTone_ = i;
        const double share = std::clamp(static_cast<double>(i) / n, 0.0, 1.0);
        const int width = 30, filled = static_cast<int>(share * width);
        const double elapsed = std::chrono::duration<double>(now - started_).count();
        std::string line = text + "  [" + std::string(static_cast<size_t>(filled), '#') +
                           std::string(static_cast<size_t>(width - filled), '-') + "] " +
                           std::to_string(static_cast<int>(share * 100)) + " %";
        if (i > 1 && share < 1)
            line += "  noch " +
                    std::to_string(std::lround(elapsed * (1 - share) / share)) + " s";
        return line;
    }

    Terminal& t_;
    MainControls& c_;
    bool progressShown_ = false;
    int lastTone_ = 0;
    std::chrono::steady_clock::time_point started_;
};

class CliDialogs : public BoxDialogs {
public:
    CliDialogs(Terminal& t, AnswerMode mode) : t_(t), mode_(mode) {}

private:
    void message(const std::string& title, const std::string& text) override {
        t_.out << "[" << title << "] " << text << '\n';
    }
    // "Ja, alle" is offered only where a person types the answer (`a`); --ja answers each
    // question Yes on its own.
    Answer question(const std::string& title, const std::string& text, bool offerAll) override {
        const bool typed = mode_ == AnswerMode::Ask && t_.inIsTerminal;
        offerAll = offerAll && typed;
        t_.out << "[" << title << "] " << text << (offerAll ? " (Ja/Nein/Alle) " : " (Ja/Nein) ");
        Answer answer = mode_ == AnswerMode::Yes ? Answer::Yes : Answer::No;
        if (typed) {
            t_.out << std::flush;
            std::string line;
            std::getline(t_.in, line);
            if (interruptRequested()) throw Interrupted(); // Ctrl-C at the prompt
            const char c = line.empty() ? '\0' : line[0];
            if (c == 'j' || c == 'J' || c == 'y' || c == 'Y')
                answer = Answer::Yes;
            else if (offerAll && (c == 'a' || c == 'A'))
                answer = Answer::YesToAll;
        }
        t_.out << (answer == Answer::Yes        ? "Ja"
                   : answer == Answer::YesToAll ? "Ja, alle"
                                                : "Nein")
               << '\n';
        return answer;
    }

    Terminal& t_;
    AnswerMode mode_;
};

class PrintingClipboard : public Clipboard {
public:
    explicit PrintingClipboard(Terminal& t) : t_(t) {}
    void clear() override {}
    std::function<void()> beforePrint; // ends a progress line first
    void setText(const std::string& text) override {
        if (beforePrint) beforePrint();
        std::string shown = text;
        for (size_t at; (at = shown.find("\r\n")) != std::string::npos;)
            shown.replace(at, 2, "\n                ");
        t_.out << "Zwischenablage: " << shown << '\n';
    }

private:
    Terminal& t_;
};

void printPage(Terminal& t, const ListBox& page) {
    for (const auto& line : page.lines())
        t.out << line << '\n';
}

// The lists the command's row shows, each printed once the command has written it: the page
// also before each question or message, so that the composer reads it first.
class ShownLists {
public:
    ShownLists(Terminal& t, const MainControls& c, unsigned shows)
        : t_(t), c_(c), shows_(shows), page_(c.inidat.revision()), info_(c.List2.revision()),
          presets_(c.Lini.revision()) {}
    void printPage() {
        if ((shows_ & kShowsPage) && c_.inidat.revision() != page_) tonfex::printPage(t_, c_.inidat);
        page_ = c_.inidat.revision();
    }
    void printAll() {
        printPage();
        if ((shows_ & kShowsProgramInfo) && c_.List2.revision() != info_) {
            t_.out << "List2 (Tonfex-Proginfo.txt):\n";
            tonfex::printPage(t_, c_.List2);
        }
        if ((shows_ & kShowsPresets) && c_.Lini.revision() != presets_ && c_.linienVisible) {
            t_.out << c_.liniencaption << ":" << (c_.Lini.count() == 0 ? " (leer)" : "") << '\n';
            for (int i = 0; i < c_.Lini.count(); ++i)
                t_.out << "  " << i + 1 << "  " << c_.Lini.lines()[static_cast<size_t>(i)] << '\n';
        }
    }

private:
    Terminal& t_;
    const MainControls& c_;
    unsigned shows_;
    unsigned long page_, info_, presets_;
};

} // namespace

std::string helpText(bool withPicture) {
    std::string text = "Aufruf: tonfex [--arbeit ORDNER] [--ja | --nein] BEFEHL [ARGUMENTE]\n"
                       "Ohne Befehl öffnet sich das Fenster.\n\nBefehle:\n" +
                       verbHelp(withPicture);
    text += "\nOptionen:\n"
#ifdef _WIN32
            "  --arbeit ORDNER  Arbeitsordner (sonst C:\\Arbeit\\)\n"
#else
            "  --arbeit ORDNER  Arbeitsordner (sonst $TONFEX_ARBEIT oder ~/Arbeit/)\n"
#endif
            "  --ja             jede Ja/Nein-Frage mit Ja beantworten\n"
            "  --nein           jede Ja/Nein-Frage mit Nein beantworten\n"
            "  --midi-protokoll DATEI  (play, neu) in Echtzeit spielen und jede MIDI-Nachricht\n"
            "                   mit ihrer Zeit in ms in DATEI schreiben\n"
            "  --mid DATEI      (play, neu) das Spiel als MIDI-Datei schreiben, ohne zu warten\n"
            "  --wav DATEI      (play, neu) das Spiel mit dem eingebauten Synthesizer als\n"
            "                   WAV-Datei schreiben (44,1 kHz, 16 Bit, Stereo); in den\n"
            "                   Sample-Modi das geschriebene Tonfex.rpp ohne REAPER (24 Bit)\n"
            "  --seed N         ZUFALLSSTART N statt des Werts in Tonfex.ini: dieselbe Zahl\n"
            "                   ergibt dieselbe Melodie; zufall: eine neue Zahl, die Daten zeigt\n"
            "  --help           diese Hilfe\n";
    return text;
}

std::string parseArguments(const std::vector<std::string>& args, CliOptions& options) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h" || a == "hilfe") {
            options.help = true;
        } else if (a == "--ja") {
            if (options.answers == AnswerMode::No) return "--ja und --nein schließen sich aus";
            options.answers = AnswerMode::Yes;
        } else if (a == "--nein") {
            if (options.answers == AnswerMode::Yes) return "--ja und --nein schließen sich aus";
            options.answers = AnswerMode::No;
        } else if (a.rfind("--", 0) == 0) {
            std::string name = a, value;
            bool inlineValue = false;
            if (auto eq = a.find('='); eq != std::string::npos) {
                name = a.substr(0, eq);
                value = a.substr(eq + 1);
                inlineValue = true;
            }
            bool known = false;
            for (const auto& o : kValueOptions)
                known = known || o == name;
            if (!known) return "unbekannte Option " + name;
            if (!inlineValue) {
                if (i + 1 >= args.size()) return name + " braucht einen Wert";
                value = args[++i];
            }
            if (name == "--arbeit") {
                options.folder = value;
            } else if (name == "--seed") {
                options.seed = seedValue(value);
                if (!options.seed) return "--seed braucht eine ganze Zahl oder zufall";
            } else
                options.values[name] = value;
        } else if (options.verb.empty()) {
            options.verb = a;
        } else {
            options.arguments.push_back(a);
        }
    }
    return "";
}

namespace {
int runWithTerminal(const CliOptions& options, const Command* command,
                    const PlayFileOptions& playFiles, Terminal& terminal);

// The answer to a wrong option, the help and an unknown verb; none for a verb to run. The
// picture `bild` is a verb only where the front end draws.
std::optional<int> usageAnswer(const CliOptions& options, const std::string& error,
                               bool withPicture, std::ostream& out) {
    if (!error.empty()) {
        out << "tonfex: " << error << "\n\n" << helpText(withPicture);
        return 2;
    }
    if (options.help || options.verb.empty()) {
        out << helpText(withPicture);
        return 0;
    }
    const Command* command = findCommand(options.verb);
    if (!command || (!command->run && !withPicture)) {
        out << "tonfex: unbekannter Befehl " << options.verb << "\n\n" << helpText(withPicture);
        return 2;
    }
    return std::nullopt;
}
} // namespace

int runProgram(const std::vector<std::string>& args, Terminal& terminal,
               const FrontEnd& window, const FrontEnd& picture) {
    CliOptions options;
    std::string error = parseArguments(args, options);
    if (error.empty() && !options.help && options.verb.empty()) {
        if (windowDisplayAvailable()) return window(options);
        // The toolkit would abort with its own English text; the commands work without a screen.
        terminal.out << "Kein Bildschirm für das Fenster (DISPLAY ist nicht gesetzt oder "
                        "antwortet nicht). Ohne Fenster arbeitet tonfex mit einem Befehl, "
                        "zum Beispiel „tonfex neu“.\n\n"
                     << helpText(bool(picture));
        return 1;
    }
    if (picture) {
        if (auto status = usageAnswer(options, error, true, terminal.out)) return *status;
        if (!findCommand(options.verb)->run) return picture(options);
    }
    watchInterrupts();
    return runCli(args, terminal);
}

int runCli(const std::vector<std::string>& args, Terminal& terminal) {
    CliOptions options;
    // The options are read before the answer looks at them.
    if (auto status = usageAnswer(options, parseArguments(args, options), false, terminal.out))
        return *status;
    const Command* command = findCommand(options.verb);

    if (std::string error = argumentError(*command, options.arguments); !error.empty()) {
        terminal.out << "tonfex " << command->verb << ": " << error << "\n\n" << helpText();
        return 2;
    }

    PlayFileOptions playFiles;
    if (std::string error = playFileOptions(options, playFiles); !error.empty()) {
        terminal.out << "tonfex: " << error << "\n\n" << helpText();
        return 2;
    }

    // A play file written to the standard output (`--wav /dev/stdout | aplay`) gets it alone:
    // the program's own text goes to the error output then.
    Terminal toErrors{std::cerr, terminal.in, terminal.inIsTerminal, false};
    for (const std::string* name : {&playFiles.protocol, &playFiles.mid, &playFiles.wav})
        if (!name->empty() && namesStandardOutput(pathFromUtf8(*name))) {
            terminal.out.flush();
            return runWithTerminal(options, command, playFiles, toErrors);
        }
    return runWithTerminal(options, command, playFiles, terminal);
}

namespace {
int runWithTerminal(const CliOptions& options, const Command* command,
                    const PlayFileOptions& playFiles, Terminal& terminal) {
    const WorkFolder folder = workFolderNamed(options.folder);
    CliDialogs dialogs(terminal, options.answers);
    PrintingClipboard clipboard(terminal);
    SystemProgramStarter programs;
    SystemWindowCloser windows;
    SystemClock systemClock;
    VirtualClock virtualClock;
    Clock& clock =
        playFiles.any() && !playFiles.realTime() ? static_cast<Clock&>(virtualClock) : systemClock;
    InterruptEvents events;
    ClockRandom random;
    DiskFiles files;
    Platform platform{dialogs, clipboard, programs, windows, clock, events, random, files};

    if (command->startsWindow)
        if (std::string error = ensureWorkFolder(files, folder); !error.empty()) {
            terminal.out << "[FEHLER] " << error << '\n';
            return 1;
        }

    // A play written to files goes to the recorder; otherwise to the system's MIDI output.
    MidiRecorder recorder(clock);
    std::unique_ptr<MidiSystem> systemMidi = playFiles.any() ? nullptr : makeSystemMidi();
    App app(platform, folder, systemDecimalSeparator());
    app.seedOverride = options.seed;
    app.useMidiSystem(systemMidi ? *systemMidi : static_cast<MidiSystem&>(recorder));
    // However the command ends, the device gets its All Notes Off and is closed.
    struct Unload {
        App& app;
        ~Unload() {
            try {
                app.Form_Unload();
            } catch (...) {
                // Closing the device is all that is left; nothing more can be reported.
            }
        }
    } unload{app};
    const double recordingStart = clock.monotonic();
    PrintingObserver observer(terminal, app.c);
    std::optional<ShownLists> shown; // from the window's start on
    clipboard.beforePrint = [&] { observer.endProgress(); };
    dialogs.beforeDialog = [&] {
        observer.endProgress();
        if (shown) shown->printPage();
    };
    try {
        if (command->startsWindow)
            app.Form_Load(); // silent: the window's start shows nothing on the terminal
        // A play through the system's MIDI that stays silent says why: the default device's entry.
        if (const auto& devices = app.c.List1.lines();
            systemMidi && (command->verb == "play" || command->verb == "neu") &&
            app.s.sound() == 1 && !devices.empty() &&
            devices[0].rfind("Eingebauter Synthesizer - kein Audioausgang", 0) == 0)
            terminal.out << devices[0] << '\n';
        app.c.observeWith(&observer);
        shown.emplace(terminal, app.c, command->shows);
        // In the sample modes --wav alone asks for the render of the project the play writes.
        const bool projectWav = !playFiles.wav.empty() && playFiles.mid.empty() &&
                                playFiles.protocol.empty() && app.s.sampleMode();
        if (playFiles.any() && !projectWav)
            if (std::string why = app.midiFilesRefusal(); !why.empty()) {
                terminal.out << "[FEHLER] " << why << '\n';
                return 1;
            }
        command->run(app, Call{options.arguments});
        if (projectWav) app.Vorhoeren(folder.path(names::project), pathFromUtf8(playFiles.wav));
        observer.endProgress();
        shown->printAll();
        if (playFiles.any() && !projectWav) {
            std::string error =
                writePlayFiles(playFiles, recorder.messages,
                               app.playStartedAt.value_or(recordingStart), files, terminal.out);
            if (!error.empty()) {
                terminal.out << "[FEHLER] " << error << '\n';
                return 1;
            }
        }
    } catch (const Interrupted&) {
        observer.endProgress();
        terminal.out << "Abgebrochen.\n";
        return 1;
    } catch (const ProgramEnd&) {
        observer.endProgress();
        terminal.out << "Programm beendet.\n";
        return 1;
    } catch (const CommandEnd&) {
        observer.endProgress();
        return 1;
    } catch (const std::exception& e) {
        observer.endProgress();
        terminal.out << "[FEHLER] Unerwarteter Fehler: " << e.what() << '\n';
        return 1;
    }
    return 0;
}

} // namespace

} // namespace tonfex
