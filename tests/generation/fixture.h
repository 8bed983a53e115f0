// A rule context on a temporary working folder with scripted random numbers.
#pragma once

#include "generation/rules.h"
#include "platform/doubles.h"
#include "support.h"

#include <gtest/gtest.h>

#include <random>

namespace tonfex::testkit {

struct RuleTest : ::testing::Test {
    TempFolder tmp;
    TestPlatform tp;
    Settings s;
    Melody melody;
    MainControls c;
    WorkFolder folder = tmp.folder();
    std::string Regelname;
    std::int16_t Versuche = 0;
    RuleContext ctx{s, melody, c, tp.platform, folder, Regelname, Versuche, 0};
    Pattern puffer, p01, p02;
    std::string name01 = "P01.txt", name02 = "P02.txt";
    PatternTables tables{puffer, p01, p02, name01, name02};

    RuleTest() { s.SOUND = "1"; }

    void script(std::initializer_list<float> numbers) {
        tp.random.numbers.insert(tp.random.numbers.end(), numbers);
    }
    // Uniform numbers from a fixed seed, for rules that draw many times.
    void scriptNoise(int count) {
        std::mt19937 gen(7);
        std::uniform_real_distribution<float> u(0.0f, 0.999f);
        for (int k = 0; k < count; ++k)
            tp.random.numbers.push_back(u(gen));
    }
    static void fill(Pattern& p, const std::vector<std::array<double, 3>>& rows) {
        p.Zeilen = static_cast<int>(rows.size());
        for (size_t r = 0; r < rows.size(); ++r) {
            p.Tonhoehe[r + 1] = static_cast<std::int16_t>(rows[r][0]);
            p.Lautstaerke[r + 1] = static_cast<std::int16_t>(rows[r][1]);
            p.Tondauer[r + 1] = rows[r][2];
        }
    }
    // Pitches or durations of tones 1..n.
    std::vector<int> pitches(int n) const { return {&melody.Tonhoehe[1], &melody.Tonhoehe[1] + n}; }
    std::vector<double> durations(int n) const {
        return {&melody.Tondauer[1], &melody.Tondauer[1] + n};
    }
    // Tones 1..n as "pitch volume duration".
    std::vector<std::string> rows(int n) const {
        std::vector<std::string> out;
        for (size_t k = 1; k <= static_cast<size_t>(n); ++k)
            out.push_back(std::to_string(melody.Tonhoehe[k]) + " " +
                          std::to_string(melody.Lautstaerke[k]) + " " +
                          shortest(melody.Tondauer[k]));
        return out;
    }
    std::vector<std::string> tail(const ListBox& list, size_t n) const {
        const auto& l = list.lines();
        return {l.end() - static_cast<std::ptrdiff_t>(std::min(n, l.size())), l.end()};
    }
    std::string lastMessage() const {
        return tp.dialogs.records.empty() ? "" : tp.dialogs.records.back().text;
    }
};

} // namespace tonfex::testkit
