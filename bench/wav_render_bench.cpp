// `tonfex play --wav` of 1000 tones of 100 ms against FluidSynth's own command line rendering
// the `--mid` file of the same play with the same SoundFont.
#include "platform/midi.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// The best of three runs, in seconds; a negative number when the command failed.
double timed(const std::string& command) {
    double best = 1e9;
    for (int run = 0; run < 3; ++run) {
        auto start = std::chrono::steady_clock::now();
        if (std::system(command.c_str()) != 0) return -1;
        best = std::min(
            best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}

// The peak resident memory of a shell command that ends in `exec`, in kilobytes; -1 when it
// failed.
long peakMemoryOf(const std::string& command) {
    const pid_t pid = fork();
    if (pid == 0) {
        execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (pid < 0 || wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0)
        return -1;
    return usage.ru_maxrss;
}

std::string quoted(const fs::path& p) {
    return "'" + p.string() + "'";
}

} // namespace

int main() {
    fs::path dir =
        fs::temp_directory_path() / ("tonfex-bench-" + std::to_string(std::random_device{}()));
    fs::create_directories(dir);
    fs::path tonfex = fs::path(TONFEX_BINARY_DIR) / "tonfex";
    fs::path font = tonfex::findSoundFont();
    if (font.empty()) {
        std::printf("Keine SoundFont gefunden (scripts/install-deps).\n");
        return 1;
    }
    std::string base = quoted(tonfex) + " --arbeit " + quoted(dir) + " ";
    // The first call creates the working folder; then MIDI mode with direct durations.
    if (std::system((base + "ini > /dev/null").c_str()) != 0) return 1;
    {
        std::ifstream in(dir / "Tonfex.ini", std::ios::binary);
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::string out;
        size_t at = 0;
        while (at < text.size()) {
            size_t end = text.find('\n', at);
            std::string line = text.substr(at, end == std::string::npos ? end : end + 1 - at);
            for (auto [key, value] : {std::pair{"SOUND ", "1"},
                                      {"TONFINDUNGSMETHODE ", "3"},
                                      {"TONDAUERDIREKT ", "1"},
                                      {"TEMPO ", "1"}})
                if (line.rfind(key, 0) == 0) line = std::string(key) + value + "\r\n";
            out += line;
            if (end == std::string::npos) break;
            at = end + 1;
        }
        std::ofstream(dir / "Tonfex.ini", std::ios::binary) << out;
        std::ofstream melody(dir / "Tonfex.txt", std::ios::binary);
        for (int i = 0; i < 1000; ++i)
            melody << 48 + (i * 7) % 36 << " 100 480\r\n";
    }
    fs::path mid = dir / "in.mid", ours = dir / "tonfex.wav", theirs = dir / "fluidsynth.wav";
    if (std::system((base + "play --mid " + quoted(mid) + " > /dev/null").c_str()) != 0) return 1;

    double tonfexTime = timed(base + "play --wav " + quoted(ours) + " > /dev/null");
    double fluidTime = timed("fluidsynth -ni -q -F " + quoted(theirs) + " -r 44100 -T wav " +
                             quoted(font) + " " + quoted(mid) + " > /dev/null 2>&1");
    auto seconds = [](const fs::path& wav) {
        std::error_code ec;
        auto size = fs::file_size(wav, ec);
        return ec ? 0.0 : (static_cast<double>(size) - 44) / 4 / 44100;
    };
    std::printf("WAV-Ausgabe, 1000 Töne zu 100 ms, SoundFont %s\n", font.string().c_str());
    std::printf("  tonfex play --wav     %7.3f s  (%.1f s Audio)\n", tonfexTime, seconds(ours));
    if (fluidTime < 0) {
        std::printf("  fluidsynth -F         nicht ausführbar (Paket fluidsynth)\n");
    } else {
        std::printf("  fluidsynth -F         %7.3f s  (%.1f s Audio)\n", fluidTime,
                    seconds(theirs));
        std::printf("  Verhältnis            %7.2f    (Ziel <= 1,2)\n", tonfexTime / fluidTime);
    }

    // Memory: a melody of 300 s rendered; the WAV is written as it is rendered.
    {
        std::ofstream melody(dir / "Tonfex.txt", std::ios::binary);
        for (int i = 0; i < 3000; ++i)
            melody << 48 + (i * 7) % 36 << " 100 480\r\n";
    }
    long peakKb = peakMemoryOf("exec " + base + "play --wav " + quoted(ours) + " > /dev/null");
    std::printf("  300 s Melodie         %7.1f MB Spitzenspeicher für %.1f MB WAV  (Ziel < 60 MB)\n",
                static_cast<double>(peakKb) / 1024,
                static_cast<double>(fs::file_size(ours)) / (1024 * 1024));
    std::error_code ec;
    fs::remove_all(dir, ec);
    return tonfexTime < 0 || peakKb < 0 ? 1 : 0;
}
