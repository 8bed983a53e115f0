// The MusicXML import CapellaLesen: an export of the notation program becomes pattern 01.
#include "harness.h"

using namespace tonfex;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    fuzz::Run run(in.bit(0), in.bit(1) ? ',' : '.');
    if (in.bit(2)) run.app.KeineFrage_Click(); // no questions: everything is overwritten
    run.put(names::export01, in.file());
    if (in.bit(3)) run.put(names::pattern01, "60  80  2000\r\n\r\n62  1  1000\r\n");
    run.mayWrite({names::pattern01});
    run.command([&] { run.app.Capellanotenwandeln_Click(); }, "Capellanotenwandeln");
    // The pattern just written is read by the next pattern rule.
    if (!run.programEnded && in.bit(4)) {
        run.settings({{"SOUND", "1"}, {"TONFINDUNGSMETHODE", "6"}, {"WIEVIELELOOPS", "2"}});
        run.mayWrite({names::melody, names::statistics, names::patternLog});
        run.command([&] { run.app.Dateiherstellung_Click(); }, "Dateiherstellung");
    }
    return 0;
}
