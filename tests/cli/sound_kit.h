// Sound analysis for the synthesizer's output: tone starts and fundamentals of 44.1 kHz audio.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tonfex::testkit {

using Index = std::ptrdiff_t;

constexpr int kRate = 44100;

// 16-bit little-endian samples of `channels` channels from byte `from` on, mixed to -1..1.
inline std::vector<double> samples16(const std::string& bytes, size_t from, int channels) {
    std::vector<double> out;
    auto at = [&](size_t k) {
        return static_cast<std::int16_t>(static_cast<unsigned char>(bytes[k]) |
                                         static_cast<unsigned char>(bytes[k + 1]) << 8);
    };
    for (size_t k = from; k + 2 * channels <= bytes.size(); k += 2 * size_t(channels)) {
        double sum = 0;
        for (int c = 0; c < channels; ++c)
            sum += at(k + 2 * size_t(c));
        out.push_back(sum / channels / 32768.0);
    }
    return out;
}

// Tone starts in seconds. The level in dB of 10 ms windows, a millisecond apart, without runs of
// four or more exact zeros (PulseAudio fills a stream that ran dry with them; played sound never
// holds still that Index); a start is where it rises by 5 dB or more over 20 ms within 30 dB of
// the loudest window, at the steepest point of that rise, the next start at least 150 ms later.
// The vibraphone's tremolo rises by less.
inline std::vector<double> onsets(const std::vector<double>& x) {
    const Index hop = kRate / 1000, window = kRate / 100, lag = 20;
    std::vector<bool> real(x.size(), true);
    for (size_t k = 0, end = 0; k < x.size(); k = std::max(end, k + 1)) {
        for (end = k; end < x.size() && x[end] == 0;)
            ++end;
        if (end - k >= 4) std::fill(real.begin() + Index(k), real.begin() + Index(end), false);
    }
    std::vector<double> level;
    for (Index at = 0; at + window <= std::ssize(x); at += hop) {
        double sum = 0;
        Index n = 0;
        for (size_t k = size_t(at); k < size_t(at + window); ++k)
            if (real[k]) sum += x[k] * x[k], ++n;
        // A window mostly filled in keeps the level before it.
        level.push_back(2 * n >= window || level.empty() ? (n ? sum / double(n) : 0)
                                                         : level.back());
    }
    if (level.empty()) return {};
    const double loudest = *std::max_element(level.begin(), level.end());
    for (double& v : level)
        v = 10 * std::log10(v + loudest * 1e-5 + 1e-12);
    const double top = *std::max_element(level.begin(), level.end());
    auto rise = [&](Index k) { return level[size_t(k)] - level[size_t(k - lag)]; };
    std::vector<double> found;
    for (Index k = lag; k < std::ssize(level); ++k) {
        if (rise(k) < 5 || level[size_t(k)] < top - 30) continue;
        Index best = k;
        for (Index i = k; i < std::min(k + 30, std::ssize(level)); ++i)
            if (rise(i) > rise(best)) best = i;
        found.push_back(double(best * hop) / kRate);
        k = best + 150;
    }
    return found;
}

// The fundamental of [from, from + length) seconds by the normalized difference function
// (YIN): the first period below the threshold, refined to its minimum and interpolated.
inline double fundamental(const std::vector<double>& x, double from, double length) {
    const Index start = Index(from * kRate), n = Index(length * kRate);
    const Index minLag = kRate / 1500, maxLag = kRate / 60;
    if (start < 0 || start + n + maxLag + 1 > std::ssize(x)) return 0;
    std::vector<double> d(size_t(maxLag + 2), 1.0);
    double running = 0;
    for (Index lag = 1; lag <= maxLag + 1; ++lag) {
        double sum = 0;
        for (Index k = start; k < start + n; ++k)
            sum += std::pow(x[size_t(k)] - x[size_t(k + lag)], 2);
        running += sum;
        d[size_t(lag)] = running > 0 ? sum * double(lag) / running : 1;
    }
    Index lag = minLag;
    while (lag < maxLag && d[size_t(lag)] >= 0.15)
        ++lag;
    if (lag >= maxLag) return 0;
    while (lag + 1 <= maxLag && d[size_t(lag + 1)] < d[size_t(lag)])
        ++lag;
    const double a = d[size_t(lag - 1)], b = d[size_t(lag)], c = d[size_t(lag + 1)];
    return kRate / (double(lag) + (a - 2 * b + c != 0 ? 0.5 * (a - c) / (a - 2 * b + c) : 0));
}

} // namespace tonfex::testkit
