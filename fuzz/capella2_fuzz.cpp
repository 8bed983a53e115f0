// The second MusicXML import (XML 02): Tonfex-02.xml becomes pattern 02, Tonfex-Cap-02.txt,
// which the pattern rules then read.
#include "harness.h"

using namespace tonfex;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    fuzz::Run run(in.bit(0), in.bit(1) ? ',' : '.');
    if (in.bit(2)) run.app.KeineFrage_Click(); // no questions: everything is overwritten
    run.put(names::export02, in.file());
    if (in.bit(3)) run.put(names::pattern02, "60  80  2000\r\n\r\n62  1  1000\r\n");
    // bit 4: the first import runs before, so that both patterns come from scores
    if (in.bit(4)) {
        run.mayWrite({names::pattern01});
        run.command([&] { run.app.Capellanotenwandeln_Click(); }, "Capellanotenwandeln");
    }
    run.mayWrite({names::pattern02});
    run.command([&] { run.app.Capellanotenwandeln2_Click(); }, "Capellanotenwandeln2");
    // bit 5: a pattern rule (bits 6-7: Regel 03 to 06) reads the pattern just written
    if (!run.programEnded && in.bit(5)) {
        run.settings({{"SOUND", "1"},
                      {"TONFINDUNGSMETHODE", std::to_string(3 + in.bits(6, 2))},
                      {"WIEVIELELOOPS", "2"}});
        run.mayWrite({names::melody, names::statistics, names::patternLog});
        run.command([&] { run.app.Dateiherstellung_Click(); }, "Dateiherstellung");
    }
    return 0;
}
