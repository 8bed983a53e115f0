// The MIDI output system: numbered devices (-1 the system's default), opened one by handle,
// taking packed three-byte channel messages. Result codes are those of winmm.
#pragma once

#include "platform/platform.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tonfex {

// An open device; 0 means none.
using MidiHandle = std::uintptr_t;

// Result codes (winmm's MMSYSERR_ values, so that the Windows system passes them through).
namespace midiresult {
inline constexpr unsigned ok = 0;
inline constexpr unsigned error = 1;
inline constexpr unsigned badDevice = 2;
inline constexpr unsigned allocated = 4;
inline constexpr unsigned invalidHandle = 5;
inline constexpr unsigned noDriver = 6;
inline constexpr unsigned invalidParam = 11;
} // namespace midiresult

class MidiSystem {
public:
    virtual ~MidiSystem() = default;
    // Number of output devices 0..n-1.
    virtual int deviceCount() = 0;
    // The product name of a device (-1: the default device); nothing when it cannot be described.
    virtual std::optional<std::string> deviceName(int device) = 0;
    // Opens a device; on success returns 0 and sets `handle` to a value other than 0.
    virtual unsigned open(int device, MidiHandle& handle) = 0;
    virtual unsigned close(MidiHandle handle) = 0;
    // Sends status + data1 * 256 + data2 * 65536 at once.
    virtual unsigned shortMessage(MidiHandle handle, std::uint32_t message) = 0;
    // The text of a result code.
    virtual std::string errorText(unsigned code) = 0;
};

// German text of a result code, for systems that have none of their own.
std::string midiResultText(unsigned code);

// A message and the monotonic time it was sent, in seconds.
struct TimedMidiMessage {
    double time = 0;
    std::uint32_t message = 0;
};

// A device that sends nowhere and keeps every message with its time: the player's output for
// tests, benchmarks and the files written from a play. Its one device is -1.
class MidiRecorder : public MidiSystem {
public:
    explicit MidiRecorder(Clock& clock) : clock_(clock) {}
    int deviceCount() override { return static_cast<int>(devices.size()); }
    std::optional<std::string> deviceName(int device) override;
    unsigned open(int device, MidiHandle& handle) override;
    unsigned close(MidiHandle handle) override;
    unsigned shortMessage(MidiHandle handle, std::uint32_t message) override;
    std::string errorText(unsigned code) override { return midiResultText(code); }

    // Name of device -1; nothing makes it one that cannot be described.
    std::optional<std::string> mapperName = std::string("Aufzeichnung");
    // Devices 0..n-1; an empty entry is one whose description fails. Only -1 opens.
    std::vector<std::optional<std::string>> devices;
    std::vector<TimedMidiMessage> messages;
    int opens = 0, closes = 0;

private:
    Clock& clock_;
    MidiHandle handle_ = 0;
};

// A system without devices: everything sent is refused and goes nowhere.
class SilentMidi : public MidiSystem {
public:
    int deviceCount() override { return 0; }
    std::optional<std::string> deviceName(int) override { return std::nullopt; }
    unsigned open(int, MidiHandle& handle) override {
        handle = 0;
        return midiresult::badDevice;
    }
    unsigned close(MidiHandle) override { return midiresult::invalidHandle; }
    unsigned shortMessage(MidiHandle, std::uint32_t) override { return midiresult::invalidHandle; }
    std::string errorText(unsigned code) override { return midiResultText(code); }
};

// The operating system's MIDI output: winmm on Windows; on Linux device -1 is the built-in
// FluidSynth synthesizer and 0..n-1 are the ALSA sequencer's output ports.
std::unique_ptr<MidiSystem> makeSystemMidi();

// The General MIDI SoundFont of the built-in synthesizer: $TONFEX_SOUNDFONT, else the one of
// Debian's timgm6mb-soundfont, else fluid-soundfont-gm; empty when none is there.
std::filesystem::path findSoundFont();

inline constexpr int kRenderRate = 44100;

// Takes rendered 16-bit samples, stereo interleaved, a block at a time; false stops the render.
using SampleSink = std::function<bool(const std::int16_t* samples, std::size_t count)>;

// Plays `messages` (times in seconds from 0, ascending) through the built-in synthesizer
// without an audio device and hands the 16-bit stereo frames at 44.1 kHz to `sink` as they
// are rendered, until the sound after the last message has died away. Returns an error text.
std::string renderWithSynth(const std::vector<TimedMidiMessage>& messages, const SampleSink& sink);

} // namespace tonfex
