// Writes and reads back a 32767-tone melody file and compares each with moving the same bytes
// without any formatting.
#include "core/textfile.h"
#include "melody/melody.h"
#include "melody/zeilenleser.h"
#include "platform/doubles.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

using namespace tonfex;
using Steady = std::chrono::steady_clock;

namespace {
double seconds(Steady::time_point a, Steady::time_point b) {
    return std::chrono::duration<double>(b - a).count();
}

template <typename F> double best(F f, int runs = 7) {
    double bestTime = 1e9;
    for (int i = 0; i < runs; ++i) {
        auto t0 = Steady::now();
        f();
        bestTime = std::min(bestTime, seconds(t0, Steady::now()));
    }
    return bestTime;
}
} // namespace

int main() {
    auto dir = std::filesystem::temp_directory_path() / "tonfex-bench-melody";
    std::filesystem::create_directories(dir);
    WorkFolder folder{dir};
    TestPlatform tp;
    Settings settings;
    Melody melody;
    melody.Tonzahl = Melody::kMaxTones;
    for (int k = 1; k <= melody.Tonzahl; ++k) {
        melody.Tonhoehe[static_cast<size_t>(k)] = static_cast<std::int16_t>(1 + k % 127);
        melody.Lautstaerke[static_cast<size_t>(k)] = static_cast<std::int16_t>(1 + k * 7 % 127);
        melody.Tondauer[static_cast<size_t>(k)] = 150.0 * (1 + k % 12);
    }

    double write = best([&] { Schreib(melody, settings, tp.files, tp.dialogs, folder); });
    auto path = folder.path(names::melody);
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto rawPath = dir / "raw.txt";
    double rawWrite = best([&] {
        std::ofstream out(rawPath, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    });

    size_t rows = 0;
    double read = best([&] {
        auto lines = readTextLines(tp.files, path);
        rows = readToneRows(*lines, Reader::Player, true, '.', tp.dialogs, "Tonfex.txt").size();
    });
    size_t rawSize = 0;
    double rawRead = best([&] {
        std::ifstream r(rawPath, std::ios::binary);
        std::string all(bytes.size(), '\0');
        r.read(all.data(), static_cast<std::streamsize>(all.size()));
        rawSize = static_cast<size_t>(r.gcount());
    });

    // The same lines written and read as plain text, without any number conversion.
    std::vector<std::string> lines;
    {
        std::istringstream split(bytes);
        for (std::string l; std::getline(split, l);)
            lines.push_back(l + "\n");
    }
    double lineWrite = best([&] {
        std::ofstream out(rawPath, std::ios::binary | std::ios::trunc);
        for (const auto& l : lines)
            out << l;
    });
    size_t lineCount = 0;
    double lineRead = best([&] {
        std::ifstream r(rawPath, std::ios::binary);
        std::vector<std::string> got;
        for (std::string l; std::getline(r, l);)
            got.push_back(l);
        lineCount = got.size();
    });

    std::printf("melody file: %d tones, %zu bytes, %zu rows read back\n", melody.Tonzahl,
                bytes.size(), rows);
    std::printf("write: %.2f ms | lines unformatted %.2f ms: ratio %.2f (target <= 3) | one "
                "block %.2f ms: ratio %.1f\n",
                write * 1e3, lineWrite * 1e3, write / lineWrite, rawWrite * 1e3, write / rawWrite);
    std::printf("read:  %.2f ms | lines unformatted %.2f ms: ratio %.2f (target <= 3) | one "
                "block %.2f ms: ratio %.1f\n",
                read * 1e3, lineRead * 1e3, read / lineRead, rawRead * 1e3, read / rawRead);
    std::filesystem::remove_all(dir);
    return rows == static_cast<size_t>(melody.Tonzahl) && rawSize == bytes.size() &&
                   lineCount == rows
               ? 0
               : 1;
}
