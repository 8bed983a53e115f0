// A WAV file read with libsndfile, a reader that is not ours: its format and its two channels.
#pragma once

#include <sndfile.h>

#include <filesystem>
#include <vector>

namespace tonfex::testkit {

struct Wav {
    std::vector<float> l, r;
    int rate = 0, channels = 0, format = 0;
};

inline Wav readWav(const std::filesystem::path& path) {
    SF_INFO info{};
    SNDFILE* f = sf_open(path.string().c_str(), SFM_READ, &info);
    Wav w;
    if (!f) return w;
    std::vector<float> x(static_cast<size_t>(info.frames * info.channels));
    sf_readf_float(f, x.data(), info.frames);
    sf_close(f);
    w.rate = info.samplerate, w.channels = info.channels, w.format = info.format;
    for (size_t i = 0; i + 1 < x.size(); i += 2)
        w.l.push_back(x[i]), w.r.push_back(x[i + 1]);
    return w;
}

} // namespace tonfex::testkit
