// Readers on files of 200 MB: each reads what it can use, refuses the rest with its message
// and stays far below the file's size in memory.
#include "app/fixture.h"

#include "core/errors.h"

#include <fstream>

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace tonfex::testkit {
namespace {

// `head`, then `unit` repeated until the file holds about `size` bytes, written in pieces.
void writeHuge(const std::filesystem::path& path, const std::string& head, const std::string& unit,
               size_t size = size_t{200} << 20) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << head;
    std::string piece;
    while (piece.size() < (size_t{1} << 20))
        piece += unit;
    for (size_t written = head.size(); written < size; written += piece.size())
        out << piece;
}

struct BoundedReadTest : AppTest {
    // Runs `read` in a child process (Linux), so that the peak memory is its own, and returns
    // what `read` returned or, after a message, "Ende: " and the message; the peak memory
    // above the one before must stay below 100 MB. Elsewhere without a memory figure.
    std::string run(const std::function<std::string()>& read) {
        auto guarded = [&] {
            try {
                return read();
            } catch (const CommandEnd&) {
            } catch (const ProgramEnd&) {
            }
            return "Ende: " + said();
        };
#ifdef _WIN32
        return guarded();
#else
        const auto outcome = tmp / "outcome.txt";
        if (const pid_t child = fork(); child == 0) {
            rusage before{}, after{};
            getrusage(RUSAGE_SELF, &before);
            const std::string text = guarded();
            getrusage(RUSAGE_SELF, &after);
            writeBytes(outcome, std::to_string(after.ru_maxrss - before.ru_maxrss) + "\n" + text);
            _exit(0);
        } else {
            int status = 0;
            waitpid(child, &status, 0);
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        }
        const std::string text = readBytes(outcome);
        std::filesystem::remove(outcome);
        const size_t line = text.find('\n');
        const long growthKb = line == std::string::npos ? -1 : std::stol(text.substr(0, line));
        EXPECT_TRUE(growthKb >= 0 && growthKb < 100 * 1024) << growthKb << " KB: " << text;
        return text.substr(line + 1);
#endif
    }
    // Runs `command`, which must end with a message that holds the pieces.
    void refuses(void (App::*command)(), std::initializer_list<std::string> pieces) {
        const std::string said = run([&] {
            (app.*command)();
            return std::string("ohne Meldung");
        });
        for (const auto& piece : pieces)
            EXPECT_NE(said.find(piece), std::string::npos) << said;
    }
};

TEST_F(BoundedReadTest, SettingsInstrumentNamesAndPresetLog) {
    writeHuge(tmp / "Tonfex.ini", joined(settingsTemplate()), "; Anmerkung\r\n");
    EXPECT_EQ(run([&] {
                  app.Initial();
                  return std::to_string(app.ini.count) + " " + app.ini.lines[300];
              }),
              "300 " + readFirstLines(tp.files, tmp / "Tonfex.ini", 300, 4096)->lines[299]);

    writeHuge(tmp / "genmidi.txt", "", "Klavier\r\n");
    app.instrumentFile = tmp / "genmidi.txt";
    app.c.lst_sound_list.clear();
    EXPECT_EQ(run([&] {
                  app.Instrumentenliste();
                  return std::to_string(app.c.lst_sound_list.count()) + said();
              }),
              "128");

    writeHuge(tmp / "Tonfex-Doku.txt", "", (tmp / "Tonfex-010101-0101-01.ini").string() + "\r\n");
    refuses(&App::Load_Click, {"Ende: FEHLER: Die Liste der gespeicherten Einstellungen ",
                               "hat mehr als 10000 Zeilen"});
}

TEST_F(BoundedReadTest, MelodyDurationListAndMusicXmlExport) {
    writeHuge(tmp / "Tonfex.txt", "", "60 100 1\r\n");
    refuses(&App::Startknopf_Click, {"enthält mehr als 100000 Töne"});
    writeHuge(tmp / "Tonfex-DTC.txt", "", "1\r\n");
    refuses(&App::Startknopf_Click, {"Tonfex-DTC.txt hat mehr als 32767 Zeilen."});

    writeHuge(tmp / "Tonfex-01.xml",
              "<score-partwise><part><measure><attributes><divisions>480</divisions>"
              "</attributes>\n",
              "<note><pitch><step>C</step><octave>4</octave></pitch><duration>480</duration>"
              "</note>\n");
    app.KeineFrage_Click();
    const std::string pattern = file("Tonfex-Cap-PT.txt");
    refuses(&App::Capellanotenwandeln_Click, {"Tonfex-01.xml ist größer als 4 MB"});
    EXPECT_EQ(file("Tonfex-Cap-PT.txt"), pattern);
}

TEST_F(BoundedReadTest, SampleListEntryOfOneMegabyte) {
    settings({{"SOUND", "2"}});
    std::string melody;
    for (int k = 0; k < 400; ++k)
        melody += "1 100 1\r\n";
    writeBytes(tmp / "Tonfex.txt", melody);
    writeHuge(tmp / "Tonfex-HC.txt", "Glocke  1.5  0  0  1  1  hell\r\nGlocke", "x",
              size_t{1} << 20);
    refuses(&App::Startknopf_Click, {"Die Zeile 2 der Sampleliste ", "ist länger als 400 Zeichen"});
}

} // namespace
} // namespace tonfex::testkit
