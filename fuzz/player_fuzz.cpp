// The melody through the player: Play reads Tonfex.txt (Neuton) and plays it on the MIDI
// loop (SOUND 1) or writes the REAPER project (SOUND 3), under tempo, tracks and loudness.
#include "harness.h"

using namespace tonfex;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    fuzz::Run run(in.bit(0), in.bit(1) ? ',' : '.');
    static const char* const kTempo[] = {"1", "0.001", "1000", "0"};
    run.settings({{"SOUND", in.bit(2) ? "1" : "3"},
                  {"TONDAUERDIREKT", in.bit(3) ? "1" : "0"},
                  {"TEMPO", kTempo[in.bits(4, 2)]},
                  {"TRACKZAHL", in.bit(6) ? "8" : "1"},
                  {"AUTOPAN", in.bit(7) ? "1" : "0"}});
    run.put(names::melody, in.file());
    run.mayWrite({names::project, names::sampleListing});
    run.command([&] { run.app.Startknopf_Click(); }, "Startknopf");
    // A play that went through marks no tone as sounding.
    if (run.app.soundingTone != 0) fuzz::finding("a tone is still marked as sounding");
    return 0;
}
