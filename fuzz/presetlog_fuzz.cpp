// The preset log Tonfex-Doku.txt: Load shows its lines in the chooser, Save appends the new
// preset's settings file to it in the log's own encoding.
#include "harness.h"

#include <vector>

using namespace tonfex;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    fuzz::Run run(in.bit(0));
    if (!in.bit(1)) run.put(names::presetLog, in.file(run.folderText()));
    run.command([&] { run.app.Load_Click(); }, "Load");
    const std::vector<std::string> before = run.app.c.Lini.lines();
    // Saving copies the working files to "<name>-<stamp>" and appends to the log.
    run.mayWrite({names::presetLog, "Tonfex-030327-0905-07.ini", "Tonfex-HCR-030327-0905-07.rpp",
                  "Tonfex-01-030327-0905-07.cap", "Tonfex-02-030327-0905-07.cap"});
    if (in.bit(2)) run.files.remove(run.folder.path(names::sampleProject));
    run.command([&] { run.app.Speichern_Click(); }, "Speichern");
    run.command([&] { run.app.Load_Click(); }, "Load");
    const std::vector<std::string>& after = run.app.c.Lini.lines();
    bool appended = false;
    for (const auto& path : run.files.written)
        appended = appended || path == run.folder.path(names::presetLog);
    if (!appended) {
        if (after != before) fuzz::finding("the log changed without being written");
        return 0;
    }
    // The old lines stay as they were and the new one follows them.
    std::vector<std::string> want = before;
    want.push_back(run.folder.text("Tonfex-030327-0905-07.ini"));
    if (after != want)
        fuzz::finding("appending to the log changed its lines: " + std::to_string(before.size()) +
                      " lines before, " + std::to_string(after.size()) + " after");
    const int index = in.bits(3, 5) % static_cast<int>(after.size() + 1);
    run.mayWrite({names::ini, names::sampleProject, names::capella01, names::capella02,
                  names::proginfo});
    run.command([&] { run.app.Lini_Click(index); }, "Lini_Click");
    return 0;
}
