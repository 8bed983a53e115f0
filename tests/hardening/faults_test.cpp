// Writes that fail (a folder that became read-only, a full disk, a failing flush or rename)
// while each writer replaces its file: the old file stays whole and a message names the file.
#include "app/fixture.h"

#include "core/errors.h"

using namespace tonfex;
using Fault = FaultyFiles::Fault;

namespace {

struct Writer {
    const char* file;
    const char* message; // how the message begins; the file's path and the error follow
    std::function<void(App&)> command;
};

struct FaultTest : testkit::AppTest {
    FaultTest() {
        // Every writer has written its file once: the old files of the faults below.
        writeSession({{"SOUND", "3"}, {"ANZAHL", "30"}, {"HOCHTON", "13"}});
        app.Load_Click();
        tp.dialogs.records.clear();
        tp.dialogs.defaultAnswer = true;
    }

    // Runs the writer's command with the fault on its file; returns the messages shown.
    std::vector<std::string> fail(const Writer& w, Fault fault) {
        tp.files.failPath = tmp / w.file;
        tp.files.fault = fault;
        tp.dialogs.records.clear();
        EXPECT_THROW(w.command(app), CommandEnd) << w.file;
        tp.files.failPath.clear();
        std::vector<std::string> texts;
        for (const auto& r : tp.dialogs.records)
            if (!r.question) texts.push_back(r.text);
        return texts;
    }
};

const std::vector<Writer>& writers() {
    static const std::vector<Writer> all = {
        {"Tonfex.txt", "Die Melodiedatei ", [](App& a) { a.Dateiherstellung_Click(); }},
        {"Tonfex-Cap-PT.txt", "Die Patterndatei ", [](App& a) { a.Capellanotenwandeln_Click(); }},
        {"Tonfex.rpp", "Das REAPER-Projekt ", [](App& a) { a.Startknopf_Click(); }},
        {"Tonfex-Cap.xml", "Die Notendatei ", [](App& a) { a.TonfexCap_Click(); }},
        {"Tonfex-030327-0905-07.ini", "Nicht gespeichert:\n", [](App& a) { a.Speichern_Click(); }},
        {"Tonfex.ini", "", [](App& a) { a.Lini_Click(0); }},
        {"Tonfex.ini", "", [](App& a) { a.Samplemix_Click(); }},
    };
    return all;
}

} // namespace

TEST_F(FaultTest, EveryWriterKeepsItsOldFileWholeAndSaysWhatFailed) {
    int injected = 0;
    for (const Writer& w : writers()) {
        for (Fault fault : {Fault::Create, Fault::DiskFull, Fault::Flush, Fault::Rename}) {
            SCOPED_TRACE(std::string(w.file) + " fault " + std::to_string(static_cast<int>(fault)));
            const std::string old = file(w.file);
            ASSERT_FALSE(old.empty());
            const int before = tp.files.faults;
            tp.clipboard.text = "vorher"; // a project not written puts no render name there
            auto messages = fail(w, fault);
            EXPECT_TRUE(w.file != std::string("Tonfex.rpp") || tp.clipboard.text == "vorher");
            injected += tp.files.faults - before;
            EXPECT_EQ(file(w.file), old);
            EXPECT_FALSE(testkit::temporaryFileIn(tmp.dir()));
            ASSERT_FALSE(messages.empty());
            const std::string& text = messages.back();
            EXPECT_EQ(text.rfind(w.message, 0), 0u) << text;
            EXPECT_TRUE(testkit::has(text, app.folder.text(w.file)));
            EXPECT_TRUE(text.find("Schreibfehler") != std::string::npos ||
                        text.find("kann nicht") != std::string::npos)
                << text;
        }
    }
    EXPECT_EQ(injected, 28);
}

TEST_F(FaultTest, AFolderThatBecomesReadOnlyKeepsEveryFile) {
    const auto before = testkit::filesIn(tmp.dir());
    tp.files.failAll = true;
    tp.files.fault = Fault::Create;
    for (const Writer& w : writers()) {
        tp.dialogs.records.clear();
        EXPECT_THROW(w.command(app), CommandEnd) << w.file;
        EXPECT_FALSE(tp.dialogs.records.empty());
    }
    // Appending to the logs fails the same way: the preset log keeps its lines.
    EXPECT_TRUE(testkit::filesIn(tmp.dir()) == before); // no temporary file left either
}
