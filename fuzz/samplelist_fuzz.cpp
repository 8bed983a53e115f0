// The sample list Tonfex-HC.txt of SOUND 2: HCLeser reads it when Play writes the REAPER
// project or Generate lists the samples (the test mode plays every one of them).
#include "harness.h"

using namespace tonfex;

static const char* const kMelody = "1 100 4800\r\n2 90 2400\r\n3 80 1200\r\n1 70 600\r\n"
                                   "40 60 300\r\n7 50 150\r\n300 40 9600\r\n";

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    fuzz::Run run(in.bit(0), in.bit(1) ? ',' : '.');
    run.settings({{"SOUND", "2"},
                  {"TONDAUERDIREKT", "1"},
                  {"TONFINDUNGSMETHODE", in.bit(7) ? "0.1" : "3"},
                  {"KEYTRANSPOSE", std::to_string(in.bits(2, 2))},
                  {"SAMPLENUMMER", std::to_string(in.bits(4, 2) % 3)},
                  {"SAMPLETUNING", std::to_string(in.bits(4, 3))},
                  {"SAMPLESTARTPUNKTMODUS", std::to_string(in.bits(2, 2) % 3)}});
    run.put(names::sampleList, in.file());
    run.put(names::melody, kMelody);
    run.mayWrite({names::project, names::sampleListing, names::melody, names::statistics,
                  names::patternLog});
    if (in.bit(7) || in.bit(6))
        run.command([&] { run.app.Dateiherstellung_Click(); }, "Dateiherstellung");
    else
        run.command([&] { run.app.Startknopf_Click(); }, "Startknopf");
    return 0;
}
