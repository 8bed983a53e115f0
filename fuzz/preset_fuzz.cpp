// Choosing a preset: Load shows the preset log, Lini_Click takes the stamp from the chosen
// line and copies that preset's files over the working files.
#include "harness.h"

#include "core/textfile.h"

using namespace tonfex;

namespace {
constexpr const char* kStamp = "030327-0905-07";
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    fuzz::Run run(in.bit(0));
    const std::string stamp = kStamp;
    // One stored preset; its scores only when the switch says so.
    run.put("Tonfex-" + stamp + ".ini", "SOUND 1\r\nTONFINDUNGSMETHODE 3\r\n");
    run.put("Tonfex-HCR-" + stamp + ".rpp", "<REAPER_PROJECT\r\n>\r\n");
    if (in.bit(1)) {
        run.put("Tonfex-01-" + stamp + ".cap", "cap 01");
        run.put("Tonfex-02-" + stamp + ".cap", "cap 02");
    }
    run.put(names::presetLog, in.file(run.folderText()));
    run.mayWrite(
        {names::ini, names::sampleProject, names::capella01, names::capella02, names::proginfo});
    run.command([&] { run.app.Load_Click(); });
    const int count = run.app.c.Lini.count();
    const int index = count == 0 ? 0 : in.bits(2, 6) % (count + 1); // one past the end too
    run.command([&] { run.app.Lini_Click(index); });
    // A load replaces the settings only from a stored settings file of the working folder.
    for (const auto& path : run.files.written)
        if (path == run.folder.path(names::ini)) {
            // The line may spell the folder with doubled separators and end in blanks.
            std::string line = run.app.c.Lini.lines()[static_cast<size_t>(index)];
            while (!line.empty() && (line.back() == ' ' || line.back() == '\t'))
                line.pop_back();
            const auto want = run.folder.path("Tonfex-" + stamp + ".ini").lexically_normal();
            if (std::filesystem::path(line).lexically_normal() != want)
                fuzz::finding("a load from the line \"" + line + "\"");
        }
    return 0;
}
