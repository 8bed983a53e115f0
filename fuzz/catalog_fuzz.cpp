// The sample catalog: Katalogleser (the sample project) or HCLeser (the sample list), the
// listing Katalogliste, and Eintragsleser as the project writer splits each entry.
#include "harness.h"

using namespace tonfex;

static const char* const kMelody = "1 100 4800\r\n2 90 2400\r\n3 80 1200\r\n1 70 600\r\n"
                                   "40 60 300\r\n7 50 150\r\n300 40 9600\r\n";

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    fuzz::Run run(in.bit(0), in.bit(1) ? ',' : '.');
    const bool list = in.bit(2);
    run.settings({{"SOUND", list ? "2" : "3"},
                  {"TONDAUERDIREKT", "1"},
                  {"TONFINDUNGSMETHODE", in.bit(7) ? "0.1" : "3"},
                  {"KEYTRANSPOSE", std::to_string(in.bits(3, 2))},
                  {"SAMPLENUMMER", std::to_string(in.bits(5, 2) % 3)},
                  {"SAMPLETUNING", std::to_string(in.bits(5, 2) + in.bit(7))},
                  {"SAMPLESTARTPUNKTMODUS", std::to_string(in.bits(3, 2) % 3)}});
    run.put(list ? names::sampleList : names::sampleProject, in.file());
    run.put(names::melody, kMelody);
    run.mayWrite({names::project, names::sampleListing, names::melody, names::statistics});
    if (in.bit(7)) // the test mode: every sample
        run.command([&] { run.app.Dateiherstellung_Click(); }, "Dateiherstellung");
    else
        run.command([&] { run.app.Startknopf_Click(); }, "Startknopf");
    return 0;
}
