// The project render: seconds of audio per second of rendering for the main job's project
// (1000 items, the template's settings: no shifts) and for a melody with SAMPLETUNING 2
// (a shift on every repeated tone), and the no-shift render against plain summing of its items.
#include "platform/real.h"
#include "render/render.h"

#include <sndfile.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

namespace fs = std::filesystem;
using namespace tonfex::render;

namespace {

template <class F> double best(int runs, F&& run) {
    double result = 1e9;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        run();
        result = std::min(
            result,
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return result;
}

// Reads every source and adds its frames at the item's position: no gain, pan, fade or shift.
void plainSum(const Project& project, const fs::path& wav) {
    std::map<fs::path, std::vector<float>> sources;
    std::vector<float> mix;
    for (const Track& track : project.tracks)
        for (const Item& item : track.items) {
            auto [it, added] = sources.try_emplace(item.file);
            if (added) {
                SF_INFO info{};
                SNDFILE* f = sf_open(item.file.string().c_str(), SFM_READ, &info);
                if (f == nullptr) continue;
                it->second.resize(static_cast<size_t>(info.frames));
                sf_readf_float(f, it->second.data(), info.frames);
                sf_close(f);
            }
            const auto at = static_cast<size_t>(std::lround(item.position * kRate));
            const auto n =
                std::min(it->second.size(), static_cast<size_t>(std::lround(item.length * kRate)));
            if (mix.size() < 2 * (at + n)) mix.resize(2 * (at + n));
            for (size_t i = 0; i < n; ++i) {
                mix[2 * (at + i)] += it->second[i];
                mix[2 * (at + i) + 1] += it->second[i];
            }
        }
    SF_INFO info{};
    info.samplerate = kRate, info.channels = 2, info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_24;
    SNDFILE* f = sf_open(wav.string().c_str(), SFM_WRITE, &info);
    sf_writef_float(f, mix.data(), static_cast<sf_count_t>(mix.size() / 2));
    sf_close(f);
}

bool run(const std::string& command) {
    return std::system(command.c_str()) == 0;
}

} // namespace

int main() {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const fs::path dir = fs::temp_directory_path() / "tonfex-bench-render";
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::string tonfex = std::string(TONFEX_BINARY_DIR) + "/tonfex --arbeit " + dir.string();
    if (!run(tonfex + " neu >/dev/null")) {
        std::fprintf(stderr, "tonfex neu failed\n");
        return 1;
    }
    // The shifted render takes long: it runs once, the others three times (the best counts).
    auto measure = [&](const char* label, bool compare) {
        tonfex::DiskFiles disk;
        ReadResult read = readProjectFile(dir / "Tonfex.rpp", disk);
        if (!read.error.empty()) {
            std::fprintf(stderr, "%s\n", read.error.c_str());
            return false;
        }
        size_t items = 0;
        for (const Track& t : read.project.tracks)
            items += t.items.size();
        for (int threads : {1, 2}) {
            RenderResult result;
            const double seconds = best(compare ? 3 : 1, [&] {
                result = renderProject(read.project, dir / "out.wav", {threads, {}});
            });
            if (!result.error.empty()) {
                std::fprintf(stderr, "%s\n", result.error.c_str());
                return false;
            }
            std::printf("%-28s %zu items, %.0f s audio, %d shifts (%d reused), %d thread%s: "
                        "%.3f s, %.0f s of audio per second\n",
                        label, items, result.seconds, result.shifts, result.reused, threads,
                        threads == 1 ? " " : "s", seconds, result.seconds / seconds);
            if (compare && threads == 1) {
                const double plain = best(3, [&] { plainSum(read.project, dir / "plain.wav"); });
                std::printf(
                    "%-28s plain summing of the same items: %.3f s; render / plain = %.2f\n", label,
                    plain, seconds / plain);
            }
        }
        return true;
    };
    if (!measure("template (no shifts)", true)) return 1;
    // SAMPLETUNING 2: a new melody of the same settings, every repetition of a tone a quarter
    // tone higher (the repetition counts come from the rule run, so `neu`, not `play`).
    const fs::path ini = dir / "Tonfex.ini";
    std::ifstream in(ini, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    const size_t at = text.find("\nSAMPLETUNING");
    if (at == std::string::npos) return 1;
    text[text.find('0', at)] = '2';
    std::ofstream(ini, std::ios::binary) << text;
    if (!run(tonfex + " neu >/dev/null")) {
        std::fprintf(stderr, "tonfex neu failed\n");
        return 1;
    }
    if (!measure("SAMPLETUNING 2", false)) return 1;
    fs::remove_all(dir);
    return 0;
}
