// Real-time play of 1000 tones of 20 ms on the recorder: how far each tone's start lies from
// its schedule, how far the end drifts, and the CPU time the play uses; then the same play
// with the process stopped for 200 ms: the shortest tone after the stall and the drift from
// the moved plan.
#include "app/app.h"
#include "app/defaults.h"
#include "core/textfile.h"
#include "platform/doubles.h"
#include "platform/midi.h"
#include "settings/template.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <random>
#include <csignal>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

using namespace tonfex;

namespace {

constexpr double kPause = 0.9;   // the window's "WAVETABLE" pause before the first tone
constexpr int kStallTone = 500;  // the tone during which the process is stopped
constexpr double kStall = 0.200; // for how long

// Sleeps until the monotonic clock (the one SystemClock reads) shows `seconds`.
void sleepUntil(double seconds) {
    timespec at{};
    at.tv_sec = static_cast<time_t>(seconds);
    at.tv_nsec = static_cast<long>((seconds - static_cast<double>(at.tv_sec)) * 1e9);
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr) != 0) {
    }
}

// The recorded starts of the tones and the time of the last note message.
bool toneStarts(const MidiRecorder& recorder, int tones, std::vector<double>& onsets,
                double& end) {
    onsets.clear();
    end = 0;
    for (const auto& m : recorder.messages)
        if ((m.message & 0xF0) == 0x90) {
            if (((m.message >> 16) & 0x7F) > 0) onsets.push_back(m.time);
            end = m.time;
        }
    if (static_cast<int>(onsets.size()) == tones) return true;
    std::printf("expected %d tones, recorded %zu\n", tones, onsets.size());
    return false;
}

} // namespace

int main() {
    namespace fs = std::filesystem;
    fs::path dir =
        fs::temp_directory_path() / ("tonfex-bench-" + std::to_string(std::random_device{}()));
    WorkFolder folder{dir};
    DiskFiles files;
    if (!ensureWorkFolder(files, folder).empty()) return 1;
    auto lines = settingsTemplate();
    for (auto& line : lines)
        for (auto [key, value] : {std::pair{"SOUND ", "1"},
                                  {"TONFINDUNGSMETHODE ", "3"},
                                  {"TONDAUERDIREKT ", "1"},
                                  {"TEMPO ", "1"}})
            if (line.rfind(key, 0) == 0) line = std::string(key) + value;
    writeTextLines(files, folder.path(names::ini), lines);
    const int tones = 1000;
    const double tone = 0.020; // 96 units at tempo 1
    std::vector<std::string> melody;
    for (int i = 0; i < tones; ++i)
        melody.push_back(std::to_string(60 + i % 12) + " 100 96");
    writeTextLines(files, folder.path(names::melody), melody);

    ScriptedDialogs dialogs;
    RecordingClipboard clipboard;
    RecordingProgramStarter programs;
    RecordingWindowCloser windows;
    SystemClock clock;
    NoEvents events;
    ClockRandom random;
    Platform platform{dialogs, clipboard, programs, windows, clock, events, random, files};
    MidiRecorder recorder(clock);
    App app(platform, folder, '.');
    app.useMidiSystem(recorder);
    app.Form_Load();
    recorder.messages.clear();

    // Without a stall: how exact the schedule is and what the play costs.
    std::clock_t cpuBefore = std::clock();
    double wallBefore = clock.monotonic();
    app.Startknopf_Click();
    double wall = clock.monotonic() - wallBefore;
    double cpu = static_cast<double>(std::clock() - cpuBefore) / CLOCKS_PER_SEC;

    std::vector<double> onsets;
    double end = 0;
    if (!toneStarts(recorder, tones, onsets, end)) return 1;
    std::vector<double> errors;
    for (int i = 0; i < tones; ++i)
        errors.push_back((onsets[static_cast<size_t>(i)] - (app.midi.loopStart + i * tone)) * 1e3);
    std::vector<double> sorted = errors;
    std::sort(sorted.begin(), sorted.end());
    auto at = [&](double q) { return sorted[static_cast<size_t>(q * (tones - 1) + 0.5)]; };
    double lastDrift = errors.back();
    double endDrift = (end - (app.midi.loopStart + tones * tone)) * 1e3;
    double loopWall = end - app.midi.loopStart;

    std::printf("Echtzeitspiel auf dem Recorder: %d Töne zu %.0f ms (%.1f s, davon %.1f s Spiel)\n",
                tones, tone * 1e3, wall, loopWall);
    std::printf("  Einsatzfehler Median      %8.3f ms\n", at(0.5));
    std::printf("  Einsatzfehler 99. Perz.   %8.3f ms   (Ziel < 1 ms)\n", at(0.99));
    std::printf("  Einsatzfehler größter     %8.3f ms\n", sorted.back());
    std::printf("  Drift letzter Ton         %8.3f ms   (Ziel < 2 ms)\n", lastDrift);
    std::printf("  Drift Ende (Note aus)     %8.3f ms\n", endDrift);
    std::printf("  CPU-Zeit                  %8.3f s = %.2f %% eines Kerns   (Ziel < 5 %%)\n", cpu,
                100 * cpu / wall);

    // The same play, the process stopped for 200 ms in the middle of tone 500 by a helper
    // process (SIGSTOP, SIGCONT), as a blocking device switch or a loaded machine would.
    recorder.messages.clear();
    const double stallAt = clock.monotonic() + kPause + (kStallTone - 1 + 0.5) * tone;
    const pid_t self = getpid();
    const pid_t helper = fork();
    if (helper == 0) {
        sleepUntil(stallAt);
        kill(self, SIGSTOP);
        sleepUntil(stallAt + kStall);
        kill(self, SIGCONT);
        _exit(0);
    }
    app.Startknopf_Click();
    waitpid(helper, nullptr, 0);
    if (!toneStarts(recorder, tones, onsets, end)) return 1;
    // The first tone that started late by much more than a tone: the one after the stall.
    size_t after = 0;
    for (size_t i = 1; i < onsets.size() && after == 0; ++i)
        if (onsets[i] - onsets[i - 1] > 5 * tone) after = i;
    if (after == 0) {
        std::printf("kein Halt gemessen\n");
        return 1;
    }
    double shortest = 1e9;
    for (size_t i = after; i < onsets.size(); ++i)
        shortest = std::min(shortest, (i + 1 < onsets.size() ? onsets[i + 1] : end) - onsets[i]);
    // The plan moved by the lateness of the first tone after the stall.
    const double moved = onsets[after] - (app.midi.loopStart + static_cast<double>(after) * tone);
    const double movedDrift =
        onsets.back() - (app.midi.loopStart + moved + (tones - 1) * tone);
    std::printf("Mit Halt von %.0f ms bei Ton %d (Ton %zu setzte %.1f ms später ein):\n",
                kStall * 1e3, kStallTone, after + 1, moved * 1e3);
    std::printf("  kürzester Ton danach      %8.3f ms   (Ziel >= 10 ms)\n", shortest * 1e3);
    std::printf("  Drift letzter Ton         %8.3f ms   (vom verschobenen Plan, Ziel < 2 ms)\n",
                movedDrift * 1e3);
    std::error_code ec;
    fs::remove_all(dir, ec);
    return 0;
}
