// Real-time play of 1000 tones of 20 ms on the recorder: how far each tone's start lies from
// its schedule, how far the end drifts, and the CPU time the play uses.
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

using namespace tonfex;

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

    std::clock_t cpuBefore = std::clock();
    double wallBefore = clock.monotonic();
    app.Startknopf_Click();
    double wall = clock.monotonic() - wallBefore;
    double cpu = static_cast<double>(std::clock() - cpuBefore) / CLOCKS_PER_SEC;

    std::vector<double> onsets, errors;
    double end = 0;
    for (const auto& m : recorder.messages)
        if ((m.message & 0xF0) == 0x90) {
            if (((m.message >> 16) & 0x7F) > 0) onsets.push_back(m.time);
            end = m.time;
        }
    if (static_cast<int>(onsets.size()) != tones) {
        std::printf("expected %d tones, recorded %zu\n", tones, onsets.size());
        return 1;
    }
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
    std::error_code ec;
    fs::remove_all(dir, ec);
    return 0;
}
