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

constexpr size_t kHuge = size_t{200} << 20;

// `head`, then `unit` repeated until the file holds about `size` bytes, written in pieces.
void writeHuge(const std::filesystem::path& path, const std::string& head, const std::string& unit,
               size_t size = kHuge) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << head;
    std::string piece;
    while (piece.size() < (size_t{1} << 20))
        piece += unit;
    for (size_t written = head.size(); written < size; written += piece.size())
        out << piece;
}

struct Outcome {
    std::string said;  // the result the reader's run reports
    long growthKb = 0; // peak memory above the peak before the run
};

struct BoundedReadTest : AppTest {
    // Runs `read` in a child process (Linux), so that the peak memory is its own; elsewhere in
    // this process without a memory figure. `read` returns what the check compares.
    Outcome run(const std::function<std::string()>& read) {
        auto guarded = [&] {
            try {
                return read();
            } catch (const CommandEnd&) {
            } catch (const ProgramEnd&) {
            }
            return "Ende: " + said();
        };
#ifdef _WIN32
        return {guarded(), 0};
#else
        const auto result = outcome / "outcome.txt";
        std::filesystem::remove(result);
        const pid_t child = fork();
        if (child == 0) {
            rusage before{}, after{};
            getrusage(RUSAGE_SELF, &before);
            const std::string text = guarded();
            getrusage(RUSAGE_SELF, &after);
            writeBytes(result, std::to_string(after.ru_maxrss - before.ru_maxrss) + "\n" + text);
            _exit(0);
        }
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        const std::string text = readBytes(result);
        const size_t line = text.find('\n');
        if (line == std::string::npos) return {text, -1};
        return {text.substr(line + 1), std::stol(text.substr(0, line))};
#endif
    }
    TempFolder outcome; // where the child leaves its result

    void expectSmall(const Outcome& o) {
        EXPECT_GE(o.growthKb, 0);
        EXPECT_LT(o.growthKb, 100 * 1024) << o.said;
    }
};

TEST_F(BoundedReadTest, SettingsAndInstrumentNames) {
    writeHuge(tmp / "Tonfex.ini", encodeLines(settingsTemplate()), "; Anmerkung\r\n");
    auto o = run([&] {
        app.Initial();
        return std::to_string(app.ini.count) + " " + app.ini.lines[300];
    });
    expectSmall(o);
    EXPECT_EQ(o.said, "300 " + readFirstLines(tp.files, tmp / "Tonfex.ini", 300, 4096)->lines[299]);

    writeHuge(tmp / "genmidi.txt", "", "Klavier\r\n");
    app.instrumentFile = tmp / "genmidi.txt";
    app.c.lst_sound_list.clear();
    o = run([&] {
        app.Instrumentenliste();
        return std::to_string(app.c.lst_sound_list.count()) + said();
    });
    expectSmall(o);
    EXPECT_EQ(o.said, "128");
}

// Each row: a file of 200 MB, the command that reads it and a part of what it reports.
TEST_F(BoundedReadTest, EveryReaderOnAHugeFile) {
    struct Row {
        const char* file;
        std::string head, unit;
        std::function<void()> command;
        std::string want;
    };
    const std::string xmlHead =
        "<score-partwise><part><measure><attributes><divisions>480</divisions></attributes>\n";
    const std::string note =
        "<note><pitch><step>C</step><octave>4</octave></pitch><duration>480</duration></note>\n";
    const std::string preset = (tmp / "Tonfex-010101-0101-01.ini").string() + "\r\n";
    auto start = [&] { app.Startknopf_Click(); };
    const std::string pattern = file("Tonfex-Cap-PT.txt");
    const Row rows[] = {
        {"Tonfex-Doku.txt", "", preset, [&] { app.Load_Click(); },
         "Die Liste der gespeicherten Einstellungen " + (tmp / "Tonfex-Doku.txt").string() +
             " hat mehr als 10000 Zeilen"},
        {"Tonfex.txt", "", "60 100 1\r\n", start, "enthält mehr als 100000 Töne"},
        {"Tonfex-DTC.txt", "", "1\r\n", start, "Tonfex-DTC.txt hat mehr als 32767 Zeilen."},
        {"Tonfex-01.xml", xmlHead, note,
         [&] {
             app.KeineFrage_Click();
             app.Capellanotenwandeln_Click();
         },
         "Tonfex-01.xml ist größer als 4 MB"},
        {"Tonfex-HCR.rpp", "<ITEM\r\n", "x",
         [&] {
             app.Initial();
             app.Katalogleser();
         },
         "Die Zeile 2 von " + (tmp / "Tonfex-HCR.rpp").string() + " ist länger als 65536 Bytes"},
        {"Tonfex-RPP-01", "", "  <TRACK_DUMMY>\r\n", [&] { app.Dateiherstellung_Click(); },
         "Tonfex-RPP-01 ist größer als 4 MB"},
        // Storing a preset appends its line to the whole log, which passes through in pieces.
        {"Tonfex-Doku.txt", "", preset, [&] { app.Speichern2_Click(); },
         preset + (tmp / "Tonfex-030327-0905-07.ini").string() + "\r\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.file);
        const auto path = tmp / row.file;
        // The small default is put back after the row, a file the folder had not is removed.
        const bool had = std::filesystem::exists(path);
        const std::string before = had ? readBytes(path) : "";
        writeHuge(path, row.head, row.unit);
        auto o = run([&] {
            row.command();
            // The end of the file, for the append; the message for the others.
            std::ifstream in(path, std::ios::binary | std::ios::ate);
            in.seekg(-static_cast<std::streamoff>(row.want.size()), std::ios::end);
            std::string end(row.want.size(), '\0');
            in.read(end.data(), static_cast<std::streamsize>(end.size()));
            return end + " " + said();
        });
        expectSmall(o);
        EXPECT_TRUE(testkit::has(o.said, row.want));
        if (had)
            writeBytes(path, before);
        else
            std::filesystem::remove(path);
    }
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
    auto o = run([&] {
        app.Startknopf_Click();
        return "ohne Meldung";
    });
    expectSmall(o);
    EXPECT_TRUE(testkit::has(o.said, "Die Zeile 2 der Sampleliste "));
    EXPECT_TRUE(testkit::has(o.said, "ist länger als 400 Zeichen"));
}

} // namespace
} // namespace tonfex::testkit
