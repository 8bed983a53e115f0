// The settings file: IniEinlesen and Initial, then the pages that show the settings read.
#include "harness.h"

using namespace tonfex;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    fuzz::Run run(in.bit(0), in.bit(1) ? ',' : '.');
    run.put(names::ini, in.file());
    run.command([&] { run.app.Initial(); });
    run.command([&] { run.app.Kurzubersicht_Click(); });
    run.command([&] { run.app.Ubersicht_Click(); });
    run.command([&] { run.app.Ubersicht_Notenschreiben_Click(); });
    run.command([&] { run.app.inidat_Click(in.bits(2, 6)); });
    return 0;
}
