// The line scanner Zeilenleser in its three readers: the player (Neuton and the play loop),
// the score writer and the pattern reader (with the pattern rule that uses the pattern).
#include "harness.h"

using namespace tonfex;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    fuzz::Run run(in.bit(0), in.bit(1) ? ',' : '.');
    const std::string sound = in.bit(2) ? "1" : "3";
    const std::string direct = in.bit(3) ? "1" : "0";
    switch (in.bits(4, 2)) {
    case 0: // the player: SOUND 1 plays, SOUND 3 writes the REAPER project
        run.settings({{"SOUND", sound}, {"TONDAUERDIREKT", direct}});
        run.put(names::melody, in.file());
        run.mayWrite({names::project, names::sampleListing});
        run.command([&] { run.app.Startknopf_Click(); }, "Startknopf");
        break;
    case 1: // the score writer
        run.settings({{"SOUND", sound}, {"TONDAUERDIREKT", direct}});
        run.put(names::melody, in.file());
        run.mayWrite({names::score});
        run.command([&] { run.app.TonfexCap_Click(); }, "TonfexCap");
        break;
    default: { // the pattern reader, for pattern 01 or 02, and the rule TFm 3 to 6
        const std::string rule = std::to_string(3 + in.bits(6, 2));
        run.settings({{"SOUND", sound}, {"TONFINDUNGSMETHODE", rule}, {"WIEVIELELOOPS", "3"}});
        run.put(in.bit(4) ? names::pattern02 : names::pattern01, in.file());
        run.mayWrite({names::melody, names::statistics, names::patternLog, names::project,
                      names::sampleListing});
        run.command([&] { run.app.Dateiherstellung_Click(); }, "Dateiherstellung");
    }
    }
    return 0;
}
