// MIDI_OUT and MIDI_CMD: the one open output device and the channel messages the program sends.
#pragma once

#include "controls/models.h"
#include "platform/midi.h"

#include <cstdint>
#include <string>

namespace tonfex {

// MIDI_OUT: owns the open device `hMidiOut` on a MIDI system. No error reaches a caller.
class MidiOut {
public:
    explicit MidiOut(MidiSystem& system) : system_(&system) {}

    // Clears `list`, then adds device -1 and every device by name, each with its number as
    // item data; a device that cannot be described is left out.
    void MidiListDevices(ListBox& list);
    // Closes any open device and opens `device`; true when a device is open afterwards.
    bool MidiOpen(std::int16_t device);
    // Closes the open device, if any, after All Notes Off on every channel.
    void MidiClose();
    // Sends one packed message on hMidiOut, also when none is open (the system refuses it).
    void MidiSendShort(std::int16_t status, std::int16_t data1, std::int16_t data2);
    static std::uint32_t MidiPackMessage(std::int16_t status, std::int16_t data1,
                                         std::int16_t data2);
    // The error hook: errors stay silent; the last text and a count are kept for a look.
    void MidiError(unsigned code);

    // Changes the system; the open device is closed first.
    void useSystem(MidiSystem& system);
    MidiSystem& system() { return *system_; }

    MidiHandle hMidiOut = 0;
    std::string lastError;
    int errorCount = 0;

private:
    MidiSystem* system_;
};

// MIDI_CMD. All Sound Off and All Notes Off on channels 0 to 15.
void MidiAllOff(MidiOut& out);
void MidiNoteOn(MidiOut& out, std::int16_t channel, std::int16_t note, std::int16_t velocity);
// A note on with velocity 0; the layer never sends 0x80.
void MidiNoteOff(MidiOut& out, std::int16_t channel, std::int16_t note);
void MidiControlChange(MidiOut& out, std::int16_t channel, std::int16_t controller,
                       std::int16_t value);
// Bank Select MSB, then the program change.
void MidiProgramChange(MidiOut& out, std::int16_t channel, std::int16_t bank, std::int16_t program);
// `value` 0 to 16383; a value outside is held at the nearer end.
void MidiPitchBend(MidiOut& out, std::int16_t channel, std::int32_t value);

struct Split14 {
    std::int16_t lsb, msb;
};
Split14 MidiSplit14(std::int32_t value);

} // namespace tonfex
