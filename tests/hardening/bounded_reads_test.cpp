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
    std::string said;   // the result the reader's run reports
    long growthKb = 0;  // peak memory above the peak before the run
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
        int fds[2];
        EXPECT_EQ(pipe(fds), 0);
        const pid_t child = fork();
        if (child == 0) {
            close(fds[0]);
            rusage before{}, after{};
            getrusage(RUSAGE_SELF, &before);
            std::string text = guarded();
            getrusage(RUSAGE_SELF, &after);
            text = std::to_string(after.ru_maxrss - before.ru_maxrss) + "\n" + text;
            [[maybe_unused]] auto n = write(fds[1], text.data(), text.size());
            _exit(0);
        }
        close(fds[1]);
        std::string text;
        char buffer[4096];
        for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;)
            text.append(buffer, static_cast<size_t>(n));
        close(fds[0]);
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        const size_t line = text.find('\n');
        if (line == std::string::npos) return {text, -1};
        return {text.substr(line + 1), std::stol(text.substr(0, line))};
#endif
    }

    void expectSmall(const Outcome& o) {
        EXPECT_GE(o.growthKb, 0);
        EXPECT_LT(o.growthKb, 100 * 1024) << o.said;
    }
    static bool starts(const std::string& text, const std::string& with) {
        return text.compare(0, with.size(), with) == 0;
    }
};

TEST_F(BoundedReadTest, SettingsInstrumentNamesAndPresetLog) {
    std::string ini;
    for (const auto& line : withValues(settingsTemplate(), {}))
        ini += line + "\r\n";
    writeHuge(tmp / "Tonfex.ini", ini, "; Anmerkung\r\n");
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

    writeHuge(tmp / "Tonfex-Doku.txt", "", (tmp / "Tonfex-010101-0101-01.ini").string() + "\r\n");
    o = run([&] {
        app.Load_Click();
        return "ohne Meldung";
    });
    expectSmall(o);
    EXPECT_TRUE(starts(o.said, "Ende: FEHLER: Die Liste der gespeicherten Einstellungen "))
        << o.said;
    EXPECT_NE(o.said.find("hat mehr als 10000 Zeilen"), std::string::npos) << o.said;
}

TEST_F(BoundedReadTest, MelodyAndDurationList) {
    writeHuge(tmp / "Tonfex.txt", "", "60 100 1\r\n");
    auto o = run([&] {
        app.Startknopf_Click();
        return "ohne Meldung";
    });
    expectSmall(o);
    EXPECT_NE(o.said.find("enthält mehr als 100000 Töne"), std::string::npos) << o.said;

    writeHuge(tmp / "Tonfex-DTC.txt", "", "1\r\n");
    o = run([&] {
        app.Startknopf_Click();
        return "ohne Meldung";
    });
    expectSmall(o);
    EXPECT_NE(o.said.find("Tonfex-DTC.txt hat mehr als 32767 Zeilen."), std::string::npos)
        << o.said;
}

TEST_F(BoundedReadTest, MusicXmlExport) {
    writeHuge(tmp / "Tonfex-01.xml", "<score-partwise><part><measure><attributes><divisions>480"
                                     "</divisions></attributes>\n",
              "<note><pitch><step>C</step><octave>4</octave></pitch><duration>480</duration>"
              "</note>\n");
    app.KeineFrage_Click();
    const std::string pattern = file("Tonfex-Cap-PT.txt");
    auto o = run([&] {
        app.Capellanotenwandeln_Click();
        return "ohne Meldung";
    });
    expectSmall(o);
    EXPECT_NE(o.said.find("Tonfex-01.xml ist größer als 4 MB"), std::string::npos) << o.said;
    EXPECT_EQ(file("Tonfex-Cap-PT.txt"), pattern);
}

TEST_F(BoundedReadTest, SampleListEntryOfOneMegabyte) {
    settings({{"SOUND", "2"}});
    std::string melody;
    for (int k = 0; k < 400; ++k)
        melody += "1 100 1\r\n";
    writeBytes(tmp / "Tonfex.txt", melody);
    writeHuge(tmp / "Tonfex-HC.txt", "Glocke  1.5  0  0  1  1  hell\r\nGlocke", "x", size_t{1} << 20);
    auto o = run([&] {
        app.Startknopf_Click();
        return "ohne Meldung";
    });
    expectSmall(o);
    EXPECT_NE(o.said.find("Die Zeile 2 der Sampleliste "), std::string::npos) << o.said;
    EXPECT_NE(o.said.find("ist länger als 400 Zeichen"), std::string::npos) << o.said;
}

} // namespace
} // namespace tonfex::testkit
