// The instrument names genmidi.txt, read at the start (Form_Load) into the instrument list;
// a click on one of its lines chooses that program.
#include "harness.h"

using namespace tonfex;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    fuzz::Run run(in.bit(0), in.bit(1) ? ',' : '.');
    run.app.instrumentFile = run.folder.path("genmidi.txt");
    run.put("genmidi.txt", in.file());
    run.command([&] { run.app.Form_Load(); }, "Form_Load");
    const int count = run.app.c.lst_sound_list.count();
    const int index = count == 0 ? 0 : in.bits(2, 6) % (count + 1); // one past the end too
    run.command([&] { run.app.lst_sound_list_Click(index); }, "lst_sound_list_Click");
    return 0;
}
