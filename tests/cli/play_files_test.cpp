// `play` written to files: the protocol, the MIDI file read back by mido, and the WAV file
// rendered by the built-in synthesizer, analysed here for its pitches and onsets.
#include "cli_kit.h"
#include "sound_kit.h"

#include <charconv>
#include <cstdlib>
#ifndef _WIN32
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace tonfex;
using testkit::cliIn;
using testkit::CliRun;
using Lines = std::vector<std::string>;

namespace {
// A number written with a decimal point, whatever the process locale (std::stod follows it).
double cNumber(const std::string& text) {
    double v = 0;
    std::from_chars(text.data(), text.data() + text.size(), v);
    return v;
}

// The note lines (" 90 ") of a protocol or of mido's read-back.
Lines notes(const Lines& lines) {
    Lines out;
    for (const auto& line : lines)
        if (line.find(" 90 ") != std::string::npos) out.push_back(line);
    return out;
}
} // namespace

TEST(PlayFiles, WavOfThreeTonesSoundsAtTheirPitchesAndScheduledTimes) {
    testkit::TempFolder tmp;
    testkit::prepareMidiPlay(tmp, "60 100 4800\r\n64 100 4800\r\n67 100 4800\r\n");
    auto wavPath = tmp / "klang.wav";
    CliRun r = cliIn(tmp, {"play", "--wav", wavPath.string()});
#ifdef _WIN32
    // The Windows build has no built-in synthesizer: a message, and no file.
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(testkit::has(r.out, "FluidSynth"));
    EXPECT_FALSE(std::filesystem::exists(wavPath));
    return;
#endif
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_TRUE(testkit::has(r.out, "WAV-Datei geschrieben: " + wavPath.string()));
    // Stereo after the 44-byte header, padded with 0.3 s of silence so that the first tone's
    // start is a rise too. The file starts with the first tone, not with the 0.9 s the window
    // waits before it ("WAVETABLE"); then one second per tone, and the release dies away.
    auto w = testkit::samples16(testkit::readBytes(wavPath), 44, 2);
    w.insert(w.begin(), size_t(0.3 * testkit::kRate), 0.0);
    auto level = [&](double from) {
        double sum = 0;
        for (size_t k = size_t(from * testkit::kRate); k < size_t((from + 0.1) * testkit::kRate);
             ++k)
            sum += w[k] * w[k];
        return sum;
    };
    const auto found = testkit::onsets(w);
    ASSERT_EQ(found.size(), 3u);
    const double pitches[] = {261.63, 329.63, 392.00};
    for (size_t k = 0; k < 3; ++k) {
        EXPECT_NEAR(found[k] - 0.3, double(k), 0.030) << "tone " << k + 1;
        EXPECT_NEAR(testkit::fundamental(w, 0.4 + double(k), 0.3), pitches[k], pitches[k] * 0.02);
    }
    ASSERT_GT(w.size(), size_t(3.4 * testkit::kRate)) << "the release follows";
    EXPECT_LT(level(double(w.size()) / testkit::kRate - 0.1), level(2.4) / 1e4);
}

TEST(PlayFiles, MidiFileReadByMidoHoldsTheProtocolsNotesAndTimes) {
    if (std::system("/usr/bin/python3 -c 'import mido' >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "python3-mido is not installed";
    testkit::TempFolder tmp;
    testkit::prepareMidiPlay(tmp, "60 100 480\r\n62 127 240\r\n64 1 720\r\n");
    auto protocol = tmp / "protokoll.txt", mid = tmp / "spiel.mid", readBack = tmp / "mido.txt";
    // Real time: the protocol shows what was sent when; the MIDI file takes the same times.
    CliRun r = cliIn(tmp, {"play", "--midi-protokoll", protocol.string(), "--mid", mid.string()});
    ASSERT_EQ(r.status, 0) << r.out;
    auto protocolLines = splitLines(testkit::readBytes(protocol));
    ASSERT_EQ(protocolLines.size(), 2u + 32u + 7u);

    std::string command = "/usr/bin/python3 " TONFEX_TEST_DATA "/midi/mido_messages.py " +
                          mid.string() + " > " + readBack.string();
    ASSERT_EQ(std::system(command.c_str()), 0);
    auto midoNotes = notes(splitLines(testkit::readBytes(readBack)));
    auto sentNotes = notes(protocolLines);
    ASSERT_EQ(midoNotes.size(), 7u);
    ASSERT_EQ(sentNotes.size(), 7u);
    // The file starts with the first tone; the protocol keeps the time from the play's start.
    const double firstTone = cNumber(sentNotes[1]);
    EXPECT_GT(firstTone, 890);
    for (size_t k = 0; k < 7; ++k) {
        // The same bytes; times equal to the millisecond (the file's resolution).
        EXPECT_EQ(midoNotes[k].substr(midoNotes[k].find(' ')),
                  sentNotes[k].substr(sentNotes[k].find(' ')));
        EXPECT_NEAR(cNumber(midoNotes[k]),
                    std::max(0.0, std::round(cNumber(sentNotes[k]) - firstTone)), 1)
            << sentNotes[k];
    }
    // The second tone starts 100 ms after the first in real time, never noticeably earlier; a
    // loaded machine can only delay it (the scheduled times are checked exactly below).
    EXPECT_GE(cNumber(sentNotes[3]) - cNumber(sentNotes[1]), 85);

    // Without the protocol the play takes no time and the file holds the scheduled times.
    ASSERT_EQ(cliIn(tmp, {"play", "--mid", mid.string()}).status, 0);
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(notes(splitLines(testkit::readBytes(readBack))),
              (Lines{"0.000 90 00 00", "0.000 90 3C 50", "100.000 90 3C 00", "100.000 90 3E 66",
                     "150.000 90 3E 00", "150.000 90 40 01", "300.000 90 40 00"}));
}

// The program's own MIDI file read back as a pattern: the melody's pitches, and its durations
// in the pattern's unit (2400 at tempo 1 play 500 ms, half a quarter of the file: 1000).
TEST(PlayFiles, MidWrittenThenReadByMidi01GivesTheMelody) {
    testkit::TempFolder tmp;
    testkit::prepareMidiPlay(tmp, "60 100 2400\r\n62 90 1200\r\n67 127 4800\r\n");
    ASSERT_EQ(cliIn(tmp, {"mid"}).status, 0);
    CliRun r = cliIn(tmp, {"--ja", "midi01", "Tonfex.mid"});
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_TRUE(testkit::has(r.out, "Gelesen aus " + (tmp / "Tonfex.mid").string()));
    // The velocities are the play's: the volumes times Laut 80 %.
    EXPECT_EQ(testkit::readBytes(tmp / "Tonfex-Cap-PT.txt"),
              "60  80  1000\r\n62  72  500\r\n67  102  2000\r\n");
}

// Options of other verbs, a read error answered No, lengths a format cannot hold: the file
// is refused at once and not written; 2e8 units (11.6 hours) fit a MIDI file, not a WAV file,
// and at 9e99 units the virtual clock jumps so far in one wait that no MIDI delta holds it.
TEST(PlayFiles, OptionsOfOtherVerbsAndFailuresWriteNothing) {
    testkit::TempFolder tmp;
    struct Row {
        const char* melody;
        Lines args;
        int status;
        const char* said;
    };
    const auto mid = (tmp / "a.mid").string(), wav = (tmp / "a.wav").string();
    for (const auto& [melody, args, status, said] :
         {Row{"60 100 480", {"ini", "--mid", mid}, 2, "--mid gilt nur für play und neu"},
          Row{"60 300 480", {"--nein", "play", "--wav", wav}, 1, "Programm beendet."},
          Row{"60 100 2e8", {"play", "--wav", wav}, 1, "zu lang (höchstens 6,5 Stunden)"},
          Row{"60 100 2e8", {"play", "--mid", mid}, 0, "MIDI-Datei geschrieben"},
          Row{"60 100 9e99", {"play", "--mid", mid}, 1, "passt nicht in eine MIDI-Datei"}}) {
        testkit::prepareMidiPlay(tmp, std::string(melody) + "\r\n62 100 4800\r\n");
        std::filesystem::remove(args.back());
        CliRun r = cliIn(tmp, args);
        EXPECT_EQ(r.status, status) << melody;
        EXPECT_TRUE(testkit::has(r.out, said));
        EXPECT_EQ(std::filesystem::exists(args.back()), status == 0) << melody;
    }
}

TEST(PlayFiles, SampleModesHaveNoMidiFilesAndLeaveProjectAndClipboardAlone) {
    testkit::TempFolder tmp;
    testkit::prepare(tmp, {{"SOUND", "3"}}, "1 100 4800\r\n2 100 4800\r\n");
    testkit::writeBytes(tmp / "Tonfex.rpp", "das Projekt des Komponisten");
    const std::vector<std::vector<std::string>> calls = {
        {"mid"},
        {"play", "--mid", (tmp / "a.mid").string()},
        {"play", "--midi-protokoll", (tmp / "p.txt").string()}};
    for (const auto& args : calls) {
        CliRun r = cliIn(tmp, args);
        EXPECT_EQ(r.status, 1) << args.back();
        EXPECT_TRUE(testkit::has(
            r.out, "Bei SOUND 3 sind die Tonnummern der Melodie Samples, keine MIDI-Noten"));
        EXPECT_EQ(r.out.find("Zwischenablage"), std::string::npos) << r.out;
        EXPECT_EQ(r.out.find("geschrieben"), std::string::npos) << r.out;
    }
    EXPECT_EQ(testkit::readBytes(tmp / "Tonfex.rpp"), "das Projekt des Komponisten");
    for (const char* name : {"a.mid", "p.txt", "Tonfex.mid"})
        EXPECT_FALSE(std::filesystem::exists(tmp / name)) << name;
}

TEST(PlayFiles, RealOutputPrintsNoLibraryMessages) {
    // The real program on the system's MIDI output: where there is no sequencer and no audio
    // device, it plays silently and neither alsa-lib nor FluidSynth nor RtMidi print anything.
    testkit::TempFolder tmp;
    testkit::prepareMidiPlay(tmp, "60 100 48\r\n");
    auto err = tmp / "stderr.txt", out = tmp / "stdout.txt";
    std::string command = std::string(TONFEX_BINARY_DIR) + "/tonfex --arbeit " +
                          tmp.dir().string() + " play > " + out.string() + " 2> " + err.string();
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(testkit::readBytes(err), "");
    std::string printed = testkit::readBytes(out);
    EXPECT_EQ(printed.find("ALSA"), std::string::npos) << printed;
    EXPECT_EQ(printed.find("fluidsynth"), std::string::npos) << printed;
    EXPECT_TRUE(testkit::has(printed, "1  60  100  48"));
}

#ifndef _WIN32
TEST(PlayFiles, CtrlCAndSigtermEndThePlayWithAbgebrochen) {
    testkit::TempFolder tmp;
    testkit::prepareMidiPlay(tmp, "60 100 48000\r\n62 100 48000\r\n"); // ten seconds each
    const std::string program = std::string(TONFEX_BINARY_DIR) + "/tonfex";
    for (int signal : {SIGINT, SIGTERM}) {
        const auto out = tmp / ("stdout-" + std::to_string(signal) + ".txt");
        pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            FILE* f = std::freopen(out.c_str(), "w", stdout);
            if (!f) _exit(99);
            execl(program.c_str(), program.c_str(), "--arbeit", tmp.dir().c_str(), "play",
                  static_cast<char*>(nullptr));
            _exit(98);
        }
        // Until the first tone is in the list: the play is in its wait.
        for (int i = 0;
             i < 500 && testkit::readBytes(out).find("1  60  100  48000") == std::string::npos; ++i)
            usleep(10000);
        ASSERT_EQ(kill(pid, signal), 0);
        int status = 0;
        pid_t done = 0;
        for (int i = 0; i < 300 && (done = waitpid(pid, &status, WNOHANG)) == 0; ++i)
            usleep(10000);
        if (done == 0) kill(pid, SIGKILL), waitpid(pid, &status, 0);
        ASSERT_EQ(done, pid) << "still playing three seconds after signal " << signal;
        ASSERT_TRUE(WIFEXITED(status)) << signal;
        EXPECT_EQ(WEXITSTATUS(status), 1);
        const std::string printed = testkit::readBytes(out);
        EXPECT_TRUE(testkit::has(printed, "\nAbgebrochen.\n"));
        EXPECT_EQ(printed.find("2  62  100  48000"), std::string::npos) << printed;
    }
}

TEST(PlayFiles, ASilentSynthesizerSaysWhyOnceWhereItWouldPlay) {
    // A driver FluidSynth does not know cannot start: the play is silent, and the default
    // device's entry with FluidSynth's reason is printed once, on a line of its own.
    testkit::TempFolder tmp, fresh;
    testkit::prepareMidiPlay(tmp, "60 100 48\r\n");
    // `neu` computes three tones of its own, quickly.
    testkit::prepare(
        fresh, {{"SOUND", "1"}, {"TONFINDUNGSMETHODE", "1"}, {"ANZAHL", "3"}, {"TEMPO", "10"}}, "");
    setenv("TONFEX_AUDIO_DRIVER", "keiner", 1);
    const std::string line = "\nEingebauter Synthesizer - kein Audioausgang: keiner: Couldn't "
                             "find the requested audio driver 'keiner'.\n";
    struct Run {
        const testkit::TempFolder& folder;
        Lines args;
        size_t lines;
    };
    for (const auto& [folder, args, lines] :
         {Run{tmp, {"play"}, 1}, Run{fresh, {"--ja", "neu"}, 1}, Run{tmp, {"ini"}, 0},
          Run{tmp, {"play", "--mid", (tmp / "a.mid").string()}, 0},
          Run{tmp, {"play", "--midi-protokoll", (tmp / "p.txt").string()}, 0}}) {
        CliRun r = cliIn(folder, args);
        EXPECT_EQ(r.status, 0) << r.out;
        EXPECT_EQ(testkit::occurrences("\n" + r.out, line), lines)
            << args[0] << " " << args.back() << "\n"
            << r.out;
    }
    unsetenv("TONFEX_AUDIO_DRIVER");
}

TEST(PlayFiles, WithoutADisplayTheWindowNamesTheCommands) {
    testkit::TempFolder tmp;
    auto out = tmp / "stdout.txt";
    std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " +
                          std::string(TONFEX_BINARY_DIR) + "/tonfex --arbeit " +
                          tmp.dir().string() + " > " + out.string() + " 2>&1";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    const std::string printed = testkit::readBytes(out);
    EXPECT_EQ(printed.rfind("Kein Bildschirm für das Fenster", 0), 0u) << printed;
    EXPECT_TRUE(testkit::has(printed, "\n  neu "));
}
#endif
