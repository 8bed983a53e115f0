#include "platform/real.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

using namespace tonfex;

TEST(Seeds, Pcg32IsTheReferenceGeneratorAndASeedRepeatsItsNumbers) {
    // The reference implementation's demo: pcg32_srandom(42, 54) and its first six outputs.
    Pcg32 reference(42, 54);
    for (std::uint32_t expected :
         {0xa15c02b7u, 0x7b47f409u, 0xba1d3330u, 0x83d2f293u, 0xbfa4784bu, 0xcbed606eu})
        EXPECT_EQ(reference.next32(), expected);

    auto numbers = [](ClockRandom& r, std::int32_t seed) {
        r.useSeed(seed);
        std::vector<float> out;
        for (int k = 0; k < 1000; ++k) {
            r.reseed(); // the rules reseed before every draw; a seed keeps its course
            out.push_back(r.next());
        }
        return out;
    };
    ClockRandom a, b;
    const auto first = numbers(a, 42);
    EXPECT_EQ(a.seed(), 42);
    EXPECT_EQ(numbers(b, 42), first);
    EXPECT_NE(numbers(b, 43), first);
    EXPECT_NE(numbers(b, -42), first);
    std::set<float> distinct(first.begin(), first.end());
    EXPECT_GT(distinct.size(), 990u);
    for (float x : first)
        ASSERT_TRUE(x >= 0.0f && x < 1.0f) << x;

    a.useSeed(0);
    EXPECT_EQ(a.seed(), 0);
    std::set<std::int32_t> seeds;
    for (int k = 0; k < 50; ++k) {
        std::int32_t s = a.clockSeed();
        ASSERT_GE(s, 1);
        seeds.insert(s);
    }
    EXPECT_GT(seeds.size(), 1u);
}
