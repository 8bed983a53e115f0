#include "notation/midi_import.h"

#include "core/errors.h"
#include "core/numbers.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <vector>

namespace tonfex {

namespace {

struct MidiNote {
    std::int64_t start = 0, end = -1;
    int key = 0, velocity = 0;
};

// Bounds-checked reading of the file's bytes; any read past the end marks the reader broken.
class Bytes {
public:
    Bytes(const std::string& data, size_t from, size_t to) : d_(data), at_(from), end_(to) {}
    bool more() const { return at_ < end_; }
    bool broken() const { return broken_; }
    int byte() {
        if (at_ >= end_) {
            broken_ = true;
            return 0;
        }
        return static_cast<unsigned char>(d_[at_++]);
    }
    std::uint32_t big(int n) {
        std::uint32_t v = 0;
        for (int i = 0; i < n; ++i)
            v = v << 8 | static_cast<std::uint32_t>(byte());
        return v;
    }
    // A variable-length quantity: at most four bytes of seven bits.
    std::uint32_t quantity() {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i) {
            const int b = byte();
            v = v << 7 | static_cast<std::uint32_t>(b & 0x7f);
            if (!(b & 0x80)) return v;
        }
        broken_ = true;
        return 0;
    }
    void skip(std::uint32_t n) {
        if (n > end_ - at_) {
            broken_ = true;
            at_ = end_;
        } else {
            at_ += n;
        }
    }
    size_t at() const { return at_; }

private:
    const std::string& d_;
    size_t at_, end_;
    bool broken_ = false;
};

// The notes of one track by channel, in the order they start; "" or what is wrong.
std::string readTrack(Bytes in, std::map<int, std::vector<MidiNote>>& channels,
                      std::vector<int>& channelOrder) {
    std::int64_t tick = 0;
    int status = 0;
    std::map<int, std::vector<size_t>> sounding; // channel * 128 + key: open notes
    while (in.more()) {
        tick += in.quantity();
        int b = in.byte();
        if (b & 0x80) {
            status = b;
            if (b < 0xf0) b = in.byte();
        } else if (status == 0 || status >= 0xf0) {
            return "ein Datenbyte ohne Status";
        }
        if (status == 0xff) { // meta event: tempo, time signature, names, end of track
            const int type = b == 0xff ? in.byte() : b;
            in.skip(in.quantity());
            status = 0;
            if (type == 0x2f) break;
        } else if (status == 0xf0 || status == 0xf7) { // system exclusive
            in.skip(in.quantity());
            status = 0;
        } else if (status > 0xf0) {
            return "ein unbekanntes Ereignis " + std::to_string(status);
        } else {
            const int kind = status & 0xf0, channel = status & 0x0f;
            const int data1 = b & 0x7f;
            const int data2 = kind == 0xc0 || kind == 0xd0 ? 0 : in.byte() & 0x7f;
            const bool on = kind == 0x90 && data2 > 0;
            const bool off = kind == 0x80 || (kind == 0x90 && data2 == 0);
            auto& open = sounding[channel * 128 + data1];
            auto& notes = channels[channel];
            if (off || on) // a note struck again ends the one still sounding
                for (size_t i : open)
                    notes[i].end = tick;
            if (off || on) open.clear();
            if (on) {
                if (notes.empty()) channelOrder.push_back(channel);
                open.push_back(notes.size());
                notes.push_back({tick, -1, data1, data2});
            }
        }
        if (in.broken()) return "ein Ereignis, das über das Ende der Spur reicht";
    }
    for (auto& [channel, notes] : channels)
        for (MidiNote& n : notes)
            if (n.end < 0) n.end = tick; // still sounding at the end of the track
    return "";
}

} // namespace

MusicXmlNotes readMidiNotes(const std::string& bytes, Dialogs& dialogs, const std::string& fileText,
                            const std::string& patternText) {
    const std::string unchanged = " - " + patternText + " bleibt unverändert.";
    auto fail = [&](const std::string& why) {
        failCommand(dialogs, fileText + " ist keine lesbare MIDI-Datei: " + why + unchanged);
    };
    Bytes head(bytes, 0, bytes.size());
    if (bytes.compare(0, 4, "MThd") != 0) fail("der Kopf MThd fehlt");
    head.skip(4);
    const std::uint32_t headLength = head.big(4);
    const std::uint32_t format = head.big(2), tracks = head.big(2), division = head.big(2);
    if (head.broken() || headLength < 6) fail("der Kopf ist zu kurz");
    if (format > 1) fail("Format " + std::to_string(format) + " (gelesen werden Format 0 und 1)");
    if (division & 0x8000 || division == 0)
        fail("die Zeit ist in SMPTE-Rahmen statt in Teilen der Viertelnote angegeben");
    head.skip(headLength - 6);

    MusicXmlNotes out;
    out.divisions = static_cast<std::int32_t>(division);
    std::vector<MidiNote> voice;
    for (std::uint32_t t = 0; t < tracks && head.more();) {
        const bool track = bytes.compare(head.at(), 4, "MTrk") == 0;
        head.skip(4);
        const std::uint32_t length = head.big(4);
        if (head.broken() || length > bytes.size() - head.at()) fail("eine Spur reicht über das Dateiende");
        if (track) {
            ++t;
            std::map<int, std::vector<MidiNote>> channels;
            std::vector<int> order;
            if (std::string why = readTrack(Bytes(bytes, head.at(), head.at() + length), channels, order);
                !why.empty())
                fail("Spur " + std::to_string(t) + " enthält " + why);
            for (const auto& [channel, notes] : channels) {
                if (voice.empty() && !order.empty() && channel == order[0])
                    voice = notes;
                else
                    out.passed.otherVoices += static_cast<int>(notes.size());
            }
        }
        head.skip(length);
    }
    if (voice.empty()) fail("sie enthält keine Note");

    // One voice: of notes starting together the highest; each ends where the next begins.
    std::stable_sort(voice.begin(), voice.end(), [](const MidiNote& a, const MidiNote& b) {
        return a.start != b.start ? a.start < b.start : a.key > b.key;
    });
    std::vector<MidiNote> line;
    for (const MidiNote& n : voice) {
        if (!line.empty() && line.back().start == n.start) {
            ++out.passed.chordTones;
            continue;
        }
        line.push_back(n);
    }
    const std::int64_t shortGap = division / 16; // a sixty-fourth note
    for (size_t i = 0; i < line.size(); ++i) {
        MidiNote& n = line[i];
        if (i + 1 < line.size()) {
            const std::int64_t next = line[i + 1].start;
            n.end = n.end > next || next - n.end <= shortGap ? next : n.end;
        }
        // A note released one tick early (as MuseScore plays) before a rest or at the end
        // keeps its full value of whole sixty-fourths.
        if (shortGap > 1 && (n.end - n.start) % shortGap == shortGap - 1 &&
            (i + 1 == line.size() || n.end < line[i + 1].start))
            ++n.end;
        ExportNote note;
        note.pitch = static_cast<std::int16_t>(n.key);
        note.volume = static_cast<std::int16_t>(n.velocity);
        note.duration = toInt32(static_cast<double>(n.end - n.start));
        out.notes.push_back(note);
        if (i + 1 < line.size() && line[i + 1].start > n.end) {
            ExportNote rest;
            rest.rest = true;
            rest.duration = toInt32(static_cast<double>(line[i + 1].start - n.end));
            out.notes.push_back(rest);
        }
        if (out.notes.size() > static_cast<size_t>(Pattern::kLast))
            failCommand(dialogs, fileText + " enthält mehr als " + plainText(Pattern::kLast) +
                                     " Noten, so viele fasst ein Pattern nicht" + unchanged);
    }
    out.rows = static_cast<int>(out.notes.size());
    return out;
}

} // namespace tonfex
