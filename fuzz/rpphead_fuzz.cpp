// The REAPER template heads Tonfex-RPP-01 (the project head with its RENDER_FILE line) and
// Tonfex-RPP-02 (the track head), read by the project writer when SOUND 3 plays or Generate
// checks them before it replaces the melody.
#include "harness.h"

#include "core/encoding.h"
#include "core/textfile.h"

using namespace tonfex;

static const char* const kMelody = "60 100 4800\r\n62 90 2400\r\n64 80 1200\r\n65 70 600\r\n";

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    fuzz::Run run(in.bit(0), in.bit(1) ? ',' : '.');
    // bit 2: the track head (else the project head); bit 3: the other head is missing
    const bool track = in.bit(2);
    run.settings({{"SOUND", "3"},
                  {"TONDAUERDIREKT", "1"},
                  {"TRACKZAHL", std::to_string(1 + in.bits(4, 2))},
                  {"TONFINDUNGSMETHODE", in.bit(6) ? "1" : "3"},
                  {"ANZAHL", "20"}}); // Regel 01 makes 20 tones: the heads are the point here
    run.put(track ? names::projectHead02 : names::projectHead01, in.file(run.folderText()));
    if (in.bit(3))
        run.files.remove(run.folder.path(track ? names::projectHead01 : names::projectHead02));
    run.put(names::melody, kMelody);
    run.mayWrite({names::project, names::sampleListing, names::melody, names::statistics,
                  names::patternLog});
    if (in.bit(7))
        run.command([&] { run.app.Dateiherstellung_Click(); }, "Dateiherstellung");
    else
        run.command([&] { run.app.Startknopf_Click(); }, "Startknopf");
    // A project written begins with the project head's lines, its render line replaced. The
    // project is UTF-8 throughout, so its first lines decode alone as they would in the whole.
    const std::string* project = run.files.bytes(run.folder.path(names::project));
    if (!project) return 0;
    if (!fuzz::validUtf8(*project)) fuzz::finding("the project written is not UTF-8");
    auto head = readTextLines(run.files, run.folder.path(names::projectHead01));
    if (!head) fuzz::finding("the head cannot be read back");
    size_t end = 0;
    for (size_t k = 0; k < head->size() && end < project->size(); ++k) {
        const size_t lf = project->find('\n', end); // each line ends with CR LF
        end = lf == std::string::npos ? project->size() : lf + 1;
    }
    const auto start = splitLines(decodeFileText(project->substr(0, end)));
    if (start.size() < head->size()) fuzz::finding("the project is shorter than its head");
    for (size_t k = 0; k < head->size(); ++k)
        if ((*head)[k].find("RENDER_FILE") == std::string::npos && start[k] != (*head)[k])
            fuzz::finding("line " + std::to_string(k + 1) + " of the project head became \"" +
                          start[k] + "\"");
    return 0;
}
