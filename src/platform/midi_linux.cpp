// Linux MIDI output: device -1 is the built-in FluidSynth synthesizer on the first audio driver
// that starts (PulseAudio, PipeWire, ALSA, JACK), devices 0..n-1 are the ALSA sequencer's output
// ports through RtMidi.
#include "platform/midi.h"

#include <RtMidi.h>
#include <alsa/asoundlib.h>
#include <fluidsynth.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <mutex>
#include <sstream>
#include <thread>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace tonfex {

namespace {

// The last message a library wanted to print; kept for the error texts instead.
std::mutex libraryMessageMutex;
std::string libraryMessage;
// The first error FluidSynth reported since it was last taken: why an audio driver failed
// (FluidSynth adds information after it, such as the list of its drivers).
std::string firstFluidError;

void keepLibraryMessage(const std::string& text) {
    std::lock_guard lock(libraryMessageMutex);
    libraryMessage = text;
}

std::string takeFirstFluidError() {
    std::lock_guard lock(libraryMessageMutex);
    return std::exchange(firstFluidError, std::string());
}

std::string takeLibraryMessage() {
    std::lock_guard lock(libraryMessageMutex);
    return std::exchange(libraryMessage, std::string());
}

void quietAlsa(const char*, int, const char*, int, const char*, ...) {}

void quietFluid(int level, const char* message, void*) {
    std::string text = message ? message : "";
    std::lock_guard lock(libraryMessageMutex);
    if (level <= FLUID_ERR && firstFluidError.empty()) firstFluidError = text;
    libraryMessage = std::move(text);
}

// alsa-lib and FluidSynth print to the terminal by default; the program keeps MIDI errors silent.
void quietLibraries() {
    static std::once_flag once;
    std::call_once(once, [] {
        snd_lib_error_set_handler(quietAlsa);
        for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
            fluid_set_log_function(level, quietFluid, nullptr);
    });
}

struct FluidDeleter {
    void operator()(fluid_settings_t* p) const { delete_fluid_settings(p); }
    void operator()(fluid_synth_t* p) const { delete_fluid_synth(p); }
    void operator()(fluid_audio_driver_t* p) const { delete_fluid_audio_driver(p); }
};
using SettingsPtr = std::unique_ptr<fluid_settings_t, FluidDeleter>;
using SynthPtr = std::unique_ptr<fluid_synth_t, FluidDeleter>;
using DriverPtr = std::unique_ptr<fluid_audio_driver_t, FluidDeleter>;

// A synthesizer with the General MIDI SoundFont loaded, or an error text.
struct Synth {
    SettingsPtr settings;
    SynthPtr synth; // after the settings, so that it goes first
    void reset() {
        synth.reset();
        settings.reset();
    }
};

std::string makeSynth(Synth& s) {
    fs::path font = findSoundFont();
    if (font.empty())
        return "Keine General-MIDI-SoundFont gefunden (Paket timgm6mb-soundfont oder "
               "TONFEX_SOUNDFONT).";
    s.settings.reset(new_fluid_settings());
    if (!s.settings) return "FluidSynth kann nicht starten.";
    fluid_settings_setnum(s.settings.get(), "synth.sample-rate", kRenderRate);
    // One tone sounds at a time: three times FluidSynth's cautious default gain.
    fluid_settings_setnum(s.settings.get(), "synth.gain", 0.6);
    s.synth.reset(new_fluid_synth(s.settings.get()));
    if (!s.synth) return "FluidSynth kann nicht starten.";
    if (fluid_synth_sfload(s.synth.get(), font.string().c_str(), 1) == FLUID_FAILED)
        return "Die SoundFont " + font.string() + " kann nicht geladen werden.";
    return "";
}

// The audio drivers to try, best first. PulseAudio serves most desktops (PipeWire's pulse server
// as well); FluidSynth's own default on Debian is JACK, which a desktop rarely runs. Drivers this
// FluidSynth was built without are left out; $TONFEX_AUDIO_DRIVER names the only one to try.
std::vector<std::string> audioDrivers(fluid_settings_t* settings) {
    if (const char* own = std::getenv("TONFEX_AUDIO_DRIVER"); own && *own) return {own};
    std::vector<std::string> offered;
    fluid_settings_foreach_option(
        settings, "audio.driver", &offered, [](void* data, const char*, const char* option) {
            static_cast<std::vector<std::string>*>(data)->emplace_back(option);
        });
    std::vector<std::string> drivers;
    for (const char* name : {"pulseaudio", "pipewire", "alsa", "jack"})
        if (std::find(offered.begin(), offered.end(), name) != offered.end())
            drivers.emplace_back(name);
    return drivers;
}

// Hands one packed channel message to the synthesizer.
unsigned play(fluid_synth_t* synth, std::uint32_t message) {
    int status = static_cast<int>(message & 0xFF);
    int d1 = static_cast<int>((message >> 8) & 0xFF);
    int d2 = static_cast<int>((message >> 16) & 0xFF);
    int channel = status & 0x0F;
    if (status < 0x80 || status >= 0xF0 || d1 > 127 || d2 > 127) return midiresult::invalidParam;
    // A note that is not sounding makes FluidSynth report a failure; that is no error here.
    switch (status & 0xF0) {
    case 0x80:
        fluid_synth_noteoff(synth, channel, d1);
        break;
    case 0x90:
        fluid_synth_noteon(synth, channel, d1, d2);
        break;
    case 0xA0:
        fluid_synth_key_pressure(synth, channel, d1, d2);
        break;
    case 0xB0:
        fluid_synth_cc(synth, channel, d1, d2);
        break;
    case 0xC0:
        fluid_synth_program_change(synth, channel, d1);
        break;
    case 0xD0:
        fluid_synth_channel_pressure(synth, channel, d1);
        break;
    default:
        fluid_synth_pitch_bend(synth, channel, d1 | (d2 << 7));
        break;
    }
    return midiresult::ok;
}

// Length of a channel message by its status: program change and channel pressure have one
// data byte.
size_t messageLength(std::uint32_t message) {
    int kind = static_cast<int>(message & 0xF0);
    return kind == 0xC0 || kind == 0xD0 ? 2 : 3;
}

constexpr MidiHandle kSynthHandle = 1;

class LinuxMidi : public MidiSystem {
public:
    LinuxMidi() {
        quietLibraries();
        openSequencer();
    }
    ~LinuxMidi() override {
        driver_.reset();
        synth_.reset();
    }

    int deviceCount() override {
        if (!ports_) return 0;
        unsigned n = ports_->getPortCount();
        return static_cast<int>(std::min(n, 32767u));
    }

    std::optional<std::string> deviceName(int device) override {
        if (device == -1)
            return audioFault_.empty()
                       ? std::string("Eingebauter Synthesizer (FluidSynth, General MIDI)")
                       : "Eingebauter Synthesizer - kein Audioausgang: " + audioFault_;
        if (device < 0 || device >= deviceCount()) return std::nullopt;
        rtError_ = false;
        std::string name = ports_->getPortName(static_cast<unsigned>(device));
        if (rtError_ || name.empty()) return std::nullopt;
        return name;
    }

    unsigned open(int device, MidiHandle& handle) override {
        handle = 0;
        if (device == -1) return openSynth(handle);
        if (device < 0 || device >= deviceCount()) return midiresult::badDevice;
        if (ports_->isPortOpen()) return midiresult::allocated;
        rtError_ = false;
        ports_->openPort(static_cast<unsigned>(device), "Tonfex");
        if (rtError_ || !ports_->isPortOpen()) return midiresult::error;
        handle = static_cast<MidiHandle>(device) + 2;
        return midiresult::ok;
    }

    unsigned close(MidiHandle handle) override {
        if (handle == kSynthHandle && synth_.synth) {
            letReleaseSound();
            driver_.reset();
            synth_.reset();
            return midiresult::ok;
        }
        if (handle >= 2 && ports_ && ports_->isPortOpen()) {
            ports_->closePort();
            return midiresult::ok;
        }
        return midiresult::invalidHandle;
    }

    unsigned shortMessage(MidiHandle handle, std::uint32_t message) override {
        if (handle == kSynthHandle && synth_.synth) return play(synth_.synth.get(), message);
        if (handle >= 2 && ports_ && ports_->isPortOpen()) {
            unsigned char bytes[3] = {static_cast<unsigned char>(message & 0xFF),
                                      static_cast<unsigned char>((message >> 8) & 0xFF),
                                      static_cast<unsigned char>((message >> 16) & 0xFF)};
            rtError_ = false;
            ports_->sendMessage(bytes, messageLength(message));
            return rtError_ ? midiresult::error : midiresult::ok;
        }
        return midiresult::invalidHandle;
    }

    std::string errorText(unsigned code) override {
        std::string detail = takeLibraryMessage();
        if (detail.empty()) detail = std::exchange(rtMessage_, std::string());
        return midiResultText(code) + (detail.empty() ? "" : " (" + detail + ")");
    }

private:
    // The synthesizer once, then the audio drivers in turn until one starts. Why none started
    // stays for the device's name until an open succeeds.
    unsigned openSynth(MidiHandle& handle) {
        if (synth_.synth) return midiresult::allocated;
        audioFault_ = makeSynth(synth_);
        if (audioFault_.empty()) {
            fluid_settings_t* settings = synth_.settings.get();
            int period = 64;
            fluid_settings_getint_default(settings, "audio.period-size", &period);
            std::vector<std::string> reasons;
            for (const std::string& name : audioDrivers(settings)) {
                fluid_settings_setstr(settings, "audio.driver", name.c_str());
                // FluidSynth asks PulseAudio to hold one period in all: its default 64 frames
                // break off every few milliseconds. 1024 frames are 23 ms.
                fluid_settings_setint(settings, "audio.period-size",
                                      name == "pulseaudio" ? 1024 : period);
                takeFirstFluidError();
                driver_.reset(new_fluid_audio_driver(settings, synth_.synth.get()));
                if (driver_) break;
                std::string reason = takeFirstFluidError();
                reasons.push_back(name + ": " + (reason.empty() ? "startet nicht" : reason));
            }
            if (!driver_) {
                audioFault_ = "kein Audiotreiber";
                for (size_t i = 0; i < reasons.size(); ++i)
                    audioFault_ = (i ? audioFault_ + "; " : "") + reasons[i];
            }
        }
        if (!audioFault_.empty()) {
            synth_.reset();
            keepLibraryMessage(audioFault_);
            return midiresult::noDriver;
        }
        takeLibraryMessage(); // a failed driver's complaint belongs to no later error
        handle = kSynthHandle;
        return midiresult::ok;
    }

    // The last tone's release plays out (at most 1.5 s) instead of breaking off with a click
    // when the program ends right after a play.
    void letReleaseSound() {
        using namespace std::chrono_literals;
        auto sounding = [&] { return fluid_synth_get_active_voice_count(synth_.synth.get()) > 0; };
        if (!sounding()) return;
        auto until = std::chrono::steady_clock::now() + 1500ms;
        while (sounding() && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(10ms);
        std::this_thread::sleep_for(100ms); // what the audio driver still holds
    }

    // RtMidi on ALSA only: its JACK side crashes in openPort when no JACK server runs. Where
    // there is no sequencer (no /dev/snd/seq) there are no ports.
    void openSequencer() {
        snd_seq_t* probe = nullptr;
        if (snd_seq_open(&probe, "default", SND_SEQ_OPEN_OUTPUT, 0) < 0) return;
        snd_seq_close(probe);
        // RtMidi prints its errors to std::cerr before it throws; none of it reaches the terminal.
        std::ostringstream swallowed;
        std::streambuf* old = std::cerr.rdbuf(swallowed.rdbuf());
        try {
            ports_ = std::make_unique<RtMidiOut>(RtMidi::LINUX_ALSA, "Tonfex");
            ports_->setErrorCallback(&LinuxMidi::rtMidiError, this);
        } catch (const RtMidiError& e) {
            ports_.reset();
            rtMessage_ = e.getMessage();
        }
        std::cerr.rdbuf(old);
    }

    static void rtMidiError(RtMidiError::Type type, const std::string& text, void* self) {
        auto* me = static_cast<LinuxMidi*>(self);
        me->rtMessage_ = text;
        if (type != RtMidiError::WARNING && type != RtMidiError::DEBUG_WARNING) me->rtError_ = true;
    }

    Synth synth_;
    DriverPtr driver_;
    std::string audioFault_;
    std::unique_ptr<RtMidiOut> ports_;
    bool rtError_ = false;
    std::string rtMessage_;
};

} // namespace

std::unique_ptr<MidiSystem> makeSystemMidi() {
    return std::make_unique<LinuxMidi>();
}

fs::path findSoundFont() {
    std::error_code ec;
    if (const char* own = std::getenv("TONFEX_SOUNDFONT"); own && *own)
        if (fs::is_regular_file(own, ec)) return fs::path(own);
    for (const char* path :
         {"/usr/share/sounds/sf2/TimGM6mb.sf2", "/usr/share/sounds/sf2/FluidR3_GM.sf2"})
        if (fs::is_regular_file(path, ec)) return fs::path(path);
    return {};
}

std::string renderWithSynth(const std::vector<TimedMidiMessage>& messages, const SampleSink& sink) {
    quietLibraries();
    Synth s;
    if (std::string error = makeSynth(s); !error.empty()) return error;
    fluid_synth_t* synth = s.synth.get();
    // One block of frames at a time: memory stays the same whatever the length.
    constexpr std::size_t kBlock = kRenderRate / 10;
    std::vector<std::int16_t> buffer(2 * kBlock);
    std::uint64_t done = 0; // frames rendered so far
    bool stopped = false;
    // Renders `count` frames; `silent` tells whether all of them stayed at the dither's level.
    auto render = [&](std::uint64_t count, bool* silent) {
        while (count > 0 && !stopped) {
            const auto n = static_cast<int>(std::min<std::uint64_t>(count, kBlock));
            std::int16_t* out = buffer.data();
            fluid_synth_write_s16(synth, n, out, 0, 2, out, 1, 2);
            const auto samples = 2 * static_cast<std::size_t>(n);
            if (silent)
                for (std::size_t k = 0; k < samples && *silent; ++k)
                    *silent = std::abs(static_cast<int>(out[k])) <= 2;
            stopped = !sink(out, samples);
            done += static_cast<std::uint64_t>(n);
            count -= static_cast<std::uint64_t>(n);
        }
    };
    for (const auto& m : messages) {
        const auto target =
            static_cast<std::uint64_t>(std::llround(std::max(0.0, m.time) * kRenderRate));
        if (target > done) render(target - done, nullptr);
        play(synth, m.message);
    }
    // The release of the last tones, with the reverb: until a tenth of a second stays silent
    // (dither leaves the lowest bit), at most ten seconds.
    for (int i = 0; i < 100 && !stopped; ++i) {
        bool silent = true;
        render(kBlock, &silent);
        if (silent) break;
    }
    return "";
}

} // namespace tonfex
