// The melody through the score writer (NK, TonfexCap): the MusicXML export Tonfex-Cap.xml
// under the settings that shape the score (clef, bar, shortest value, notes per line).
#include "harness.h"

using namespace tonfex;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    fuzz::Run run(in.bit(0), in.bit(1) ? ',' : '.');
    static const char* const kBars[] = {"0", "44", "68", "716", "34", "1", "99", "-44"};
    static const char* const kShortest[] = {"16", "128", "4", "7"};
    run.settings({{"SOUND", in.bit(2) ? "1" : "3"},
                  {"TONDAUERDIREKT", in.bit(3) ? "1" : "0"},
                  {"VBSCHLUSSEL", in.bit(4) ? "2" : "1"},
                  {"TAKT", kBars[in.bits(5, 3)]},
                  {"KURZESTWERT", kShortest[in.bits(2, 2)]},
                  {"NOTENPROZEILE", in.bit(7) ? "1" : "18"},
                  {"TRANSPONI", in.bit(6) ? "-12" : "0"}});
    run.put(names::melody, in.file());
    run.mayWrite({names::score});
    run.command([&] { run.app.TonfexCap_Click(); }, "TonfexCap");
    // A score written is whole: its last element closes.
    if (const std::string* score = run.files.bytes(run.folder.path(names::score));
        score && score->find("</score-partwise>") == std::string::npos)
        fuzz::finding("the score written does not end with </score-partwise>");
    return 0;
}
