// The pattern imports from a MIDI file (MID 01) and from compressed MusicXML (XML 01 reading
// Tonfex-01.mxl when neither Tonfex-01.xml nor Tonfex-01.musicxml is there).
#include "harness.h"

using namespace tonfex;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    fuzz::Run run(in.bit(0), '.');
    if (in.bit(2)) run.app.KeineFrage_Click(); // no questions: everything is overwritten
    if (in.bit(3)) run.put(names::pattern01, "60  80  2000\r\n\r\n62  1  1000\r\n");
    run.mayWrite({names::pattern01});
    // bit 1: the input is a compressed score, else a MIDI file
    if (in.bit(1)) {
        run.files.remove(run.folder.path(names::export01));
        run.put("Tonfex-01.mxl", in.file());
        run.command([&] { run.app.Capellanotenwandeln_Click(); }, "Capellanotenwandeln");
    } else {
        run.put(names::midiImport01, in.file());
        run.command([&] { run.app.Midiwandeln_Click(1); }, "Midiwandeln");
    }
    return 0;
}
