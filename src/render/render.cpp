#include "render/render.h"

#include "platform/real.h"

#include <rubberband/RubberBandStretcher.h>
#include <sndfile.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <map>
#include <memory>
#include <numbers>
#include <system_error>
#include <thread>
#include <tuple>

namespace tonfex::render {

namespace fs = std::filesystem;

namespace {

// A source file read whole as float frames, one or two channels.
struct Source {
    int rate = kRate, channels = 1;
    std::vector<float> data; // interleaved
    size_t frames() const { return data.size() / static_cast<size_t>(channels); }
};

std::string loadSource(const fs::path& path, int line, Source& out) {
    std::error_code ec;
    if (!fs::exists(path, ec))
        return "Die WAV-Datei „" + path.string() + "“ (Item in Zeile " + std::to_string(line) +
               " des Projekts) fehlt.";
    SF_INFO info{};
    SNDFILE* file = sf_open(path.string().c_str(), SFM_READ, &info);
    if (file == nullptr)
        return "Die WAV-Datei „" + path.string() +
               "“ lässt sich nicht lesen: " + sf_strerror(nullptr);
    const auto channels = static_cast<size_t>(info.channels);
    std::vector<float> all(static_cast<size_t>(info.frames) * channels);
    const sf_count_t got = sf_readf_float(file, all.data(), info.frames);
    sf_close(file);
    out.rate = info.samplerate;
    out.channels = channels == 1 ? 1 : 2;
    const auto frames = static_cast<size_t>(std::max<sf_count_t>(got, 0));
    if (channels <= 2) {
        all.resize(frames * channels);
        out.data = std::move(all);
    } else {
        // More than two channels: the first two play.
        out.data.resize(frames * 2);
        for (size_t f = 0; f < frames; ++f) {
            out.data[2 * f] = all[f * channels];
            out.data[2 * f + 1] = all[f * channels + 1];
        }
    }
    return "";
}

// The audible part of an item: source frames [first, last) land at output frame `at`.
struct Placement {
    const Source* source = nullptr;
    size_t first = 0, last = 0;
    double at = 0;         // output frame of `first`, fractional
    double timeRatio = 1;  // output frames per source frame
    double pitchScale = 1; // Rubber Band's pitch scale
    bool direct = true;    // played as it is, frame for frame
};

Placement place(const Item& item, const Source& source) {
    Placement p;
    p.source = &source;
    const double rate = item.rate;
    const double srcRate = source.rate;
    const double begin = item.sourceOffset * srcRate;
    const double end = begin + item.length * rate * srcRate;
    const double first =
        std::clamp(std::ceil(begin - 1e-6), 0.0, static_cast<double>(source.frames()));
    const double last = std::clamp(std::round(end), first, static_cast<double>(source.frames()));
    p.first = static_cast<size_t>(first);
    p.last = static_cast<size_t>(last);
    p.timeRatio = kRate / (srcRate * rate);
    p.at = item.position * kRate + (first - begin) * p.timeRatio;
    p.pitchScale =
        std::exp2(item.semitones / 12.0) * (item.preservePitch ? 1.0 : rate) * srcRate / kRate;
    p.direct = std::abs(p.timeRatio - 1) < 1e-9 && std::abs(p.pitchScale - 1) < 1e-9;
    return p;
}

// Shifts and resamples source frames [first, last) with Rubber Band; the result has exactly
// round(frames × timeRatio) frames, aligned with the source. Its real-time mode with the start
// pad and delay it names is twice as fast as the offline mode, which studies the input first.
std::vector<float> shifted(const Placement& p) {
    const Source& src = *p.source;
    const auto channels = static_cast<size_t>(src.channels);
    const size_t frames = p.last - p.first;
    const auto wanted =
        static_cast<size_t>(std::llround(static_cast<double>(frames) * p.timeRatio));
    std::vector<float> out(wanted * channels, 0.0f);
    if (frames == 0) return out;
    using RB = RubberBand::RubberBandStretcher;
    // Rubber Band's notes (a resampler buffer grown for a large shift) stay off the terminal.
    struct Quiet : RB::Logger {
        void log(const char*) override {}
        void log(const char*, double) override {}
        void log(const char*, double, double) override {}
    };
    RB rb(static_cast<size_t>(src.rate), channels, std::make_shared<Quiet>(),
          RB::OptionProcessRealTime | RB::OptionEngineFaster | RB::OptionThreadingNever,
          p.timeRatio, p.pitchScale);
    constexpr size_t kBlock = 4096;
    rb.setMaxProcessSize(kBlock);
    const size_t pad = rb.getPreferredStartPad();
    size_t skip = rb.getStartDelay();
    std::vector<std::vector<float>> in(channels, std::vector<float>(kBlock));
    std::vector<std::vector<float>> got(channels, std::vector<float>(kBlock));
    std::vector<float*> inPtr(channels), gotPtr(channels);
    for (size_t c = 0; c < channels; ++c)
        inPtr[c] = in[c].data(), gotPtr[c] = got[c].data();
    size_t done = 0;
    auto collect = [&] {
        for (int avail = rb.available(); avail > 0 && done < wanted; avail = rb.available()) {
            const size_t n = rb.retrieve(gotPtr.data(), std::min(kBlock, size_t(avail)));
            const size_t dropped = std::min(skip, n);
            skip -= dropped;
            for (size_t f = dropped; f < n && done < wanted; ++f, ++done)
                for (size_t c = 0; c < channels; ++c)
                    out[done * channels + c] = got[c][f];
        }
    };
    // The pad of silence first, then the frames, then silence that pushes their end through.
    const size_t total = pad + frames + skip + pad + kBlock;
    for (size_t start = 0; start < total; start += kBlock) {
        const size_t n = std::min(kBlock, total - start);
        for (size_t f = 0; f < n; ++f) {
            const size_t at = start + f;
            for (size_t c = 0; c < channels; ++c)
                in[c][f] = at < pad || at >= pad + frames
                               ? 0.0f
                               : src.data[(p.first + at - pad) * channels + c];
        }
        rb.process(inPtr.data(), n, start + n >= total);
        collect();
        if (done == wanted) break;
    }
    return out;
}

} // namespace

void panGains(double pan, double& left, double& right) {
    const double angle = (std::clamp(pan, -1.0, 1.0) + 1) * std::numbers::pi / 4;
    left = std::numbers::sqrt2 * std::cos(angle);
    right = std::numbers::sqrt2 * std::sin(angle);
}

RenderResult mixProject(const Project& project, Mix& mix, const RenderOptions& options) {
    RenderResult result;
    mix = Mix{};
    bool anySolo = false;
    for (const Track& t : project.tracks)
        anySolo = anySolo || t.solo;

    // Every source once.
    std::map<fs::path, Source> sources;
    struct Heard {
        const Item* item;
        const Track* track;
        Placement where;
        size_t segment = 0; // index into the shifted segments
    };
    std::vector<Heard> heard;
    for (const Track& track : project.tracks) {
        if (track.muted || (anySolo && !track.solo)) continue;
        for (const Item& item : track.items) {
            if (item.muted || item.length <= 0) continue;
            auto [it, added] = sources.try_emplace(item.file);
            if (added) {
                result.error = loadSource(item.file, item.line, it->second);
                if (!result.error.empty()) return result;
            }
            heard.push_back({&item, &track, place(item, it->second)});
        }
    }

    // Identical segments (source, frames, ratios) are shifted once.
    using Key = std::tuple<const Source*, size_t, size_t, double, double>;
    std::map<Key, size_t> segmentOf;
    std::vector<const Placement*> toShift;
    for (Heard& h : heard) {
        if (h.where.direct) continue;
        const Key key{h.where.source, h.where.first, h.where.last, h.where.timeRatio,
                      h.where.pitchScale};
        auto [it, added] = segmentOf.try_emplace(key, toShift.size());
        if (added)
            toShift.push_back(&h.where);
        else
            ++result.reused;
        h.segment = it->second;
    }
    result.shifts = static_cast<int>(toShift.size());
    std::vector<std::vector<float>> segments(toShift.size());
    std::atomic<size_t> next{0};
    std::atomic<int> done{0};
    auto worker = [&] {
        for (size_t i = next++; i < toShift.size(); i = next++) {
            segments[i] = shifted(*toShift[i]);
            ++done;
        }
    };
    const size_t workers = std::clamp<size_t>(static_cast<size_t>(std::max(options.threads, 1)), 1,
                                              std::max<size_t>(toShift.size(), 1));
    {
        std::vector<std::jthread> pool;
        for (size_t w = 1; w < workers; ++w)
            pool.emplace_back(worker);
        if (options.progress) {
            // The calling thread reports while it works along.
            for (size_t i = next++; i < toShift.size(); i = next++) {
                segments[i] = shifted(*toShift[i]);
                options.progress(++done, static_cast<int>(toShift.size()));
            }
        } else {
            worker();
        }
    }

    // The mix's length: the end of the last item.
    double end = 0;
    for (const Heard& h : heard)
        end = std::max(end, (h.item->position + h.item->length) * kRate);
    const auto total = static_cast<size_t>(std::ceil(std::max(end, 0.0)));
    mix.left.assign(total, 0.0f);
    mix.right.assign(total, 0.0f);

    for (const Heard& h : heard) {
        const Item& item = *h.item;
        double il = 1, ir = 1, tl = 1, tr = 1;
        panGains(item.pan, il, ir);
        panGains(h.track->pan, tl, tr);
        const double gain = item.volume * h.track->volume;
        const auto gl = static_cast<float>(gain * il * tl);
        const auto gr = static_cast<float>(gain * ir * tr);
        const float* data = nullptr;
        size_t frames = 0;
        const auto channels = static_cast<size_t>(h.where.source->channels);
        if (h.where.direct) {
            data = h.where.source->data.data() + h.where.first * channels;
            frames = h.where.last - h.where.first;
        } else {
            data = segments[h.segment].data();
            frames = segments[h.segment].size() / channels;
        }
        // Fades as linear gain ramps over the item's own time line; fades longer than the
        // item together are shortened in proportion.
        const double itemStart = item.position * kRate;
        const double length = item.length * kRate;
        double fadeIn = std::max(item.fadeIn, 0.0) * kRate;
        double fadeOut = std::max(item.fadeOut, 0.0) * kRate;
        if (fadeIn + fadeOut > length) {
            const double shrink = length / (fadeIn + fadeOut);
            fadeIn *= shrink, fadeOut *= shrink;
        }
        const double at = std::round(std::max(h.where.at, 0.0));
        const auto start = static_cast<size_t>(at);
        const double itemEnd = itemStart + length;
        const size_t stop =
            std::min({start + frames, total, static_cast<size_t>(std::ceil(itemEnd))});
        float* left = mix.left.data();
        float* right = mix.right.data();
        for (size_t o = start; o < stop; ++o) {
            const double t = static_cast<double>(o) - itemStart;
            double ramp = 1;
            if (t < fadeIn) ramp = std::max(t, 0.0) / fadeIn;
            const double toEnd = itemEnd - static_cast<double>(o);
            if (toEnd < fadeOut) ramp = std::min(ramp, std::max(toEnd, 0.0) / fadeOut);
            const auto r = static_cast<float>(ramp);
            const float* frame = data + (o - start) * channels;
            left[o] += frame[0] * gl * r;
            right[o] += frame[channels - 1] * gr * r;
        }
        ++result.items;
    }
    result.seconds = static_cast<double>(total) / kRate;
    for (size_t i = 0; i < total; ++i)
        result.peak = std::max({result.peak, static_cast<double>(std::abs(mix.left[i])),
                                static_cast<double>(std::abs(mix.right[i]))});
    return result;
}

RenderResult renderProject(const Project& project, const fs::path& wav,
                           const RenderOptions& options) {
    Mix mix;
    RenderResult result = mixProject(project, mix, options);
    if (!result.error.empty()) return result;
    // Never clipped: a mix above full scale is lowered as a whole to a peak of -0.1 dBFS.
    float gain = 1;
    if (result.peak > 1) {
        const double ceiling = std::pow(10.0, -0.1 / 20);
        gain = static_cast<float>(ceiling / result.peak);
        result.gainDb = 20 * std::log10(ceiling / result.peak);
    }
    // A plain 24-bit PCM WAV, its sizes known before the samples, written as the program
    // writes every file: a device or pipe directly, a regular file through a temporary file.
    const std::uint64_t frames = mix.left.size();
    const std::uint64_t dataBytes = frames * 6;
    if (dataBytes + 36 > 0xffffffffULL) {
        result.error = wav.string() + ": Die Mischung ist für eine WAV-Datei zu lang.";
        return result;
    }
    auto le = [](std::string& out, std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i)
            out += static_cast<char>(v >> (8 * i) & 0xff);
    };
    std::string header = "RIFF";
    le(header, static_cast<std::uint32_t>(36 + dataBytes), 4);
    header += "WAVEfmt ";
    le(header, 16, 4);
    le(header, 1, 2); // PCM
    le(header, 2, 2);
    le(header, kRate, 4);
    le(header, kRate * 6, 4);
    le(header, 6, 2);
    le(header, 24, 2);
    header += "data";
    le(header, static_cast<std::uint32_t>(dataBytes), 4);
    DiskFiles disk;
    Files& files = options.files ? *options.files : static_cast<Files&>(disk);
    auto writer = files.writeInPieces(wav);
    writer->write(header);
    constexpr size_t kBlock = 8192;
    std::string block(kBlock * 6, '\0');
    for (size_t start = 0; start < frames; start += kBlock) {
        const size_t n = std::min<size_t>(kBlock, frames - start);
        size_t at = 0;
        for (size_t f = start; f < start + n; ++f)
            for (float v : {mix.left[f] * gain, mix.right[f] * gain}) {
                const double x = std::clamp(static_cast<double>(v), -1.0, 1.0) * 8388607.0;
                const auto sample = static_cast<std::uint32_t>(static_cast<std::int32_t>(std::lround(x)));
                block[at++] = static_cast<char>(sample & 0xff);
                block[at++] = static_cast<char>(sample >> 8 & 0xff);
                block[at++] = static_cast<char>(sample >> 16 & 0xff);
            }
        writer->write(std::string_view(block).substr(0, at));
    }
    if (std::string error = writer->finish(); !error.empty())
        result.error = wav.string() + ": Die WAV-Datei lässt sich nicht schreiben: " + error;
    return result;
}

} // namespace tonfex::render
