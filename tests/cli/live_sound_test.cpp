// The real program playing through a PulseAudio server of the test's own: parec records the
// null sink's monitor, and the three tones must be heard at their pitches and scheduled times.
#include "cli_kit.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <thread>

extern char** environ;

using namespace tonfex;
using namespace std::chrono_literals;

namespace {

constexpr int kRate = 44100;

// A program running beside the test, its output in a file; ended with SIGTERM.
class Background {
public:
    Background(const std::vector<std::string>& args, const std::filesystem::path& out) {
        std::vector<char*> argv;
        for (const auto& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
        if (posix_spawnp(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
    }
    ~Background() { stop(); }
    Background(const Background&) = delete;
    Background& operator=(const Background&) = delete;
    void stop() {
        if (pid_ <= 0) return;
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
};

bool waitFor(const std::function<bool()>& ready, std::chrono::milliseconds limit) {
    for (auto until = std::chrono::steady_clock::now() + limit;
         std::chrono::steady_clock::now() < until; std::this_thread::sleep_for(100ms))
        if (ready()) return true;
    return ready();
}

bool run(const std::string& command) {
    return std::system(command.c_str()) == 0;
}

// Where PulseAudio filled in for a stream that ran dry (a click, not the music): runs of four
// or more exact zeros. Played sound never holds still that long.
std::vector<bool> heard(const std::vector<double>& x) {
    std::vector<bool> real(x.size(), true);
    for (size_t k = 0; k < x.size();) {
        size_t end = k;
        while (end < x.size() && x[end] == 0)
            ++end;
        if (end - k >= 4) std::fill(real.begin() + k, real.begin() + end, false);
        k = std::max(end, k + 1);
    }
    return real;
}

// Tone starts in seconds. The level in dB of 10 ms windows, a millisecond apart, without the
// filled-in samples; a start is where it rises by 5 dB or more over 20 ms within 30 dB of the
// loudest window, at the steepest point of that rise, the next start at least 150 ms later. The
// vibraphone's tremolo rises by less.
std::vector<double> onsets(const std::vector<double>& x) {
    const long hop = kRate / 1000, window = kRate / 100, lag = 20;
    const std::vector<bool> real = heard(x);
    std::vector<double> level;
    for (long at = 0; at + window <= std::ssize(x); at += hop) {
        double sum = 0;
        long n = 0;
        for (long k = at; k < at + window; ++k)
            if (real[static_cast<size_t>(k)])
                sum += x[static_cast<size_t>(k)] * x[static_cast<size_t>(k)], ++n;
        // A window mostly filled in keeps the level before it.
        level.push_back(2 * n >= window || level.empty() ? (n ? sum / static_cast<double>(n) : 0)
                                                         : level.back());
    }
    if (level.empty()) return {};
    const double loudest = *std::max_element(level.begin(), level.end());
    for (double& v : level)
        v = 10 * std::log10(v + loudest * 1e-5 + 1e-12);
    const double top = *std::max_element(level.begin(), level.end());
    auto rise = [&](long k) {
        return level[static_cast<size_t>(k)] - level[static_cast<size_t>(k - lag)];
    };
    std::vector<double> found;
    for (long k = lag; k < std::ssize(level); ++k) {
        if (rise(k) < 5 || level[static_cast<size_t>(k)] < top - 30) continue;
        long best = k;
        for (long i = k; i < std::min(k + 30, std::ssize(level)); ++i)
            if (rise(i) > rise(best)) best = i;
        found.push_back(static_cast<double>(best * hop) / kRate);
        k = best + 150;
    }
    return found;
}

// The fundamental of [from, from + length) seconds by the normalized difference function
// (YIN): the first period below the threshold, refined to its minimum and interpolated.
double fundamental(const std::vector<double>& x, double from, double length) {
    const long start = static_cast<long>(from * kRate), n = static_cast<long>(length * kRate);
    const long minLag = kRate / 1500, maxLag = kRate / 60;
    if (start < 0 || start + n + maxLag + 1 > std::ssize(x)) return 0;
    std::vector<double> d(static_cast<size_t>(maxLag + 2), 1.0);
    double running = 0;
    for (long lag = 1; lag <= maxLag + 1; ++lag) {
        double sum = 0;
        for (long k = start; k < start + n; ++k) {
            double diff = x[static_cast<size_t>(k)] - x[static_cast<size_t>(k + lag)];
            sum += diff * diff;
        }
        running += sum;
        d[static_cast<size_t>(lag)] = running > 0 ? sum * static_cast<double>(lag) / running : 1;
    }
    long lag = minLag;
    while (lag < maxLag && d[static_cast<size_t>(lag)] >= 0.15)
        ++lag;
    if (lag >= maxLag) return 0;
    while (lag + 1 <= maxLag && d[static_cast<size_t>(lag + 1)] < d[static_cast<size_t>(lag)])
        ++lag;
    double a = d[static_cast<size_t>(lag - 1)], b = d[static_cast<size_t>(lag)],
           c = d[static_cast<size_t>(lag + 1)];
    double shift = a - 2 * b + c != 0 ? 0.5 * (a - c) / (a - 2 * b + c) : 0;
    return kRate / (static_cast<double>(lag) + shift);
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
    Background pulse({"pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1",
                      "--use-pid-file=no", "--system=no", "--disable-shm=yes",
                      "--log-target=stderr", "-L",
                      "module-native-protocol-unix socket=" + socket + " auth-anonymous=1", "-L",
                      "module-null-sink sink_name=tonfex_probe rate=44100"},
                     pulseDir / "pulseaudio.log");
    ASSERT_TRUE(waitFor([&] { return run("pactl -s " + server + " info >/dev/null 2>&1"); }, 20s))
        << "PulseAudio did not start:\n"
        << testkit::readBytes(pulseDir / "pulseaudio.log");
    setenv("PULSE_SERVER", server.c_str(), 1);

    // Three tones of 0.6 s each (4800 ticks are a second at tempo 1), a fifth and a fourth apart.
    testkit::prepare(
        work,
        {{"SOUND", "1"}, {"TONFINDUNGSMETHODE", "3"}, {"TONDAUERDIREKT", "1"}, {"TEMPO", "1"}},
        "60 100 2880\r\n67 100 2880\r\n72 100 2880\r\n");
    const auto recording = pulseDir / "aufnahme.raw";
    Background parec({"parec", "-s", server, "-d", "tonfex_probe.monitor", "--raw",
                      "--format=s16le", "--rate=44100", "--channels=1", "--latency-msec=20"},
                     recording);
    // The monitor delivers silence from the start: bytes arriving mean the recording runs.
    ASSERT_TRUE(waitFor(
        [&] {
            std::error_code ec;
            return std::filesystem::file_size(recording, ec) > 4410 && !ec;
        },
        15s))
        << "parec records nothing";

    const auto out = work / "ausgabe.txt";
    const bool played = run(std::string(TONFEX_BINARY_DIR) + "/tonfex --arbeit " +
                            work.dir().string() + " play > " + out.string() + " 2>&1");
    std::this_thread::sleep_for(500ms);
    parec.stop();
    const std::string printed = testkit::readBytes(out);
    ASSERT_TRUE(played) << printed;
    EXPECT_EQ(printed.find("kein Audioausgang"), std::string::npos) << printed;

    const std::string bytes = testkit::readBytes(recording);
    std::vector<double> x(bytes.size() / 2);
    for (size_t k = 0; k < x.size(); ++k)
        x[k] = static_cast<std::int16_t>(static_cast<unsigned char>(bytes[2 * k]) |
                                         static_cast<unsigned char>(bytes[2 * k + 1]) << 8) /
               32768.0;
    std::printf("Aufnahme: %.2f s\n", static_cast<double>(x.size()) / kRate);

    const std::vector<double> found = onsets(x);
    for (double t : found)
        std::printf("Einsatz bei %.3f s\n", t);
    ASSERT_EQ(found.size(), 3u) << "three tones, each heard once, and nothing else";
    const double schedule[] = {0, 0.6, 1.2}, pitches[] = {261.63, 392.00, 523.25};
    for (size_t k = 0; k < 3; ++k) {
        const double f = fundamental(x, found[k] + 0.1, 0.3);
        std::printf(
            "Ton %zu: Einsatz %+.1f ms (geplant %+.1f ms), Grundton %.2f Hz (soll %.2f Hz)\n",
            k + 1, (found[k] - found[0]) * 1000, schedule[k] * 1000, f, pitches[k]);
        EXPECT_NEAR(found[k] - found[0], schedule[k], 0.030) << "tone " << k + 1;
        EXPECT_NEAR(f, pitches[k], pitches[k] * 0.02) << "tone " << k + 1;
    }
}
