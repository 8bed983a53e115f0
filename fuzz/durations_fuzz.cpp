// The duration list: DauernLesen, and the durations it gives to the player, the project
// writer and the score writer.
#include "harness.h"

using namespace tonfex;

// Indices into the list: the usual ones, 0, one past a short list, the line limit and beyond.
static const char* const kMelody = "60 100 1\r\n62 90 5\r\n64 80 12\r\n65 70 0\r\n67 60 13\r\n"
                                   "69 50 32767\r\n71 40 32768\r\n72 30 99999\r\n";

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    fuzz::Run run(in.bit(0), in.bit(1) ? ',' : '.');
    run.settings({{"SOUND", in.bit(2) ? "1" : "3"}, {"TONDAUERDIREKT", "0"}});
    run.put(names::melody, kMelody);
    run.put(names::durations, in.file());
    run.mayWrite({names::project, names::sampleListing, names::score});
    if (in.bit(3))
        run.command([&] { run.app.TonfexCap_Click(); }, "TonfexCap");
    else
        run.command([&] { run.app.Startknopf_Click(); }, "Startknopf");
    return 0;
}
