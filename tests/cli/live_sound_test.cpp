// The real program playing through a PulseAudio server of the test's own: parec records the
// null sink's monitor, and the three tones must be heard at their pitches and scheduled times.
#include "cli_kit.h"
#include "sound_kit.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <thread>

using namespace tonfex;
using namespace std::chrono_literals;

namespace {

bool run(const std::string& command) {
    return std::system(command.c_str()) == 0;
}

// A shell command running beside the test, its output in `log`; ended with SIGTERM.
struct Background {
    pid_t pid;
    Background(const std::string& command, const std::filesystem::path& log) {
        const std::string line = "exec " + command + " >" + log.string() + " 2>&1";
        if ((pid = fork()) == 0) execl("/bin/sh", "sh", "-c", line.c_str(), nullptr), _exit(127);
    }
    ~Background() { stop(); }
    void stop() {
        if (pid > 0) kill(pid, SIGTERM), waitpid(pid, nullptr, 0);
        pid = -1;
    }
};

bool waitFor(const std::function<bool()>& ready, std::chrono::milliseconds limit) {
    for (auto until = std::chrono::steady_clock::now() + limit;
         std::chrono::steady_clock::now() < until; std::this_thread::sleep_for(100ms))
        if (ready()) return true;
    return ready();
}

} // namespace

TEST(LiveSound, ThreeTonesThroughPulseAudioAtTheirPitchesAndTimes) {
    if (!run("command -v pulseaudio >/dev/null && command -v parec >/dev/null && "
             "command -v pactl >/dev/null"))
        GTEST_SKIP() << "pulseaudio or pulseaudio-utils is not installed";
    testkit::TempFolder pulseDir, work;
    // The server runs as the test's user (root warns, and runs) with a home of its own.
    std::filesystem::create_directories(pulseDir / "home");
    std::filesystem::create_directories(pulseDir / "run");
    setenv("HOME", (pulseDir / "home").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (pulseDir / "run").c_str(), 1);
    unsetenv("TONFEX_AUDIO_DRIVER");
    const std::string socket = (pulseDir / "native").string(), server = "unix:" + socket;
    Background pulse("pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no "
                     "--system=no --disable-shm=yes --log-target=stderr -L "
                     "'module-native-protocol-unix socket=" +
                         socket +
                         " auth-anonymous=1' "
                         "-L 'module-null-sink sink_name=tonfex_probe rate=44100'",
                     pulseDir / "pulseaudio.log");
    ASSERT_TRUE(waitFor([&] { return run("pactl -s " + server + " info >/dev/null 2>&1"); }, 20s))
        << "PulseAudio did not start:\n"
        << testkit::readBytes(pulseDir / "pulseaudio.log");
    setenv("PULSE_SERVER", server.c_str(), 1);

    // Three tones of 0.6 s each (4800 ticks are a second at tempo 1), a fifth and a fourth apart.
    testkit::prepareMidiPlay(work, "60 100 2880\r\n67 100 2880\r\n72 100 2880\r\n");
    const auto recording = pulseDir / "aufnahme.raw";
    Background parec("parec -s " + server +
                         " -d tonfex_probe.monitor --raw --format=s16le "
                         "--rate=44100 --channels=1 --latency-msec=20",
                     recording);
    // The monitor delivers silence from the start: bytes arriving mean the recording runs.
    ASSERT_TRUE(waitFor([&] { return testkit::readBytes(recording).size() > 4410; }, 15s))
        << "parec records nothing";

    const auto out = work / "ausgabe.txt";
    const bool played = run(std::string(TONFEX_BINARY_DIR) + "/tonfex --arbeit " +
                            work.dir().string() + " play > " + out.string() + " 2>&1");
    std::this_thread::sleep_for(500ms);
    parec.stop();
    const std::string printed = testkit::readBytes(out);
    ASSERT_TRUE(played) << printed;
    EXPECT_EQ(printed.find("kein Audioausgang"), std::string::npos) << printed;

    const auto x = testkit::samples16(testkit::readBytes(recording), 0, 1);
    const std::vector<double> found = testkit::onsets(x);
    ASSERT_EQ(found.size(), 3u) << "three tones, each heard once, and nothing else";
    const double schedule[] = {0, 0.6, 1.2}, pitches[] = {261.63, 392.00, 523.25};
    for (size_t k = 0; k < 3; ++k) {
        EXPECT_NEAR(found[k] - found[0], schedule[k], 0.030) << "tone " << k + 1;
        EXPECT_NEAR(testkit::fundamental(x, found[k] + 0.1, 0.3), pitches[k], pitches[k] * 0.02)
            << "tone " << k + 1;
    }
}
