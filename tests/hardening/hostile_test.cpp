// Hostile files in every place the program reads: what it shows, and that every file it had
// written before stays as it was unless the command itself rewrites it.
#include "app/fixture.h"

#include "core/errors.h"

#include <cfloat>
#include <random>

using namespace tonfex;

namespace {

std::string lines(size_t count, const std::string& line) {
    std::string out;
    for (size_t i = 0; i < count; ++i)
        out += line + "\r\n";
    return out;
}

std::string noise(size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string out(size, '\0');
    for (char& c : out)
        c = static_cast<char>(random() & 0xFF);
    return out;
}

const std::string k30 = "123456789012345678901234567890";

enum class End { Done, Command, Program };

struct HostileTest : testkit::AppTest {
    std::map<std::string, std::string> before; // every file of the folder after a normal session

    HostileTest() {
        writeSession({{"SOUND", "3"}, {"ANZAHL", "40"}, {"HOCHTON", "13"}, {"INTERVALL", "3"}});
        before = testkit::filesIn(tmp.dir());
    }

    // Puts `bytes` in place of `name` and runs `command` answering Yes: it must end as `end`
    // with the messages holding `pieces` in turn (with `all` false, more may follow).
    void hostile(End end, const std::string& name, const std::string& bytes,
                 const std::function<void()>& command, const std::vector<std::string>& pieces,
                 bool all = true) {
        testkit::writeBytes(tmp / name, bytes);
        before[name] = bytes;
        tp.dialogs.records.clear();
        End ended = End::Done;
        try {
            command();
        } catch (const CommandEnd&) {
            ended = End::Command;
        } catch (const ProgramEnd&) {
            ended = End::Program;
        }
        EXPECT_EQ(ended, end);
        const auto texts = testkit::texts(tp.dialogs);
        ASSERT_TRUE(all ? texts.size() == pieces.size() : texts.size() >= pieces.size())
            << ::testing::PrintToString(texts);
        for (size_t i = 0; i < pieces.size(); ++i)
            EXPECT_TRUE(testkit::has(texts[i], pieces[i]));
    }

    // `hostile` bound to one file and one command; with `all` false, a run that ends normally
    // may show more messages than `pieces`.
    auto on(const std::string& name, std::function<void()> command, bool all = true) {
        return [this, name, command, all](End end, const std::string& bytes,
                                          const std::vector<std::string>& pieces) {
            hostile(end, name, bytes, command, pieces, all || end != End::Done);
        };
    }

    // Every file is as it was, except those the commands rewrote, which count as the state
    // from now on; no temporary file is left.
    void unchangedExcept(std::initializer_list<std::string> rewritten) {
        auto now = testkit::filesIn(tmp.dir());
        for (const auto& name : rewritten)
            now.count(name) ? void(before[name] = now[name]) : void(before.erase(name));
        for (const auto& [name, bytes] : now)
            EXPECT_TRUE(before.count(name) && before.at(name) == bytes)
                << name << " new or changed";
        EXPECT_EQ(now.size(), before.size()) << "a file is gone";
    }
};

} // namespace

TEST_F(HostileTest, SettingsFiles) {
    const auto read = [&](const std::string& bytes) {
        hostile(End::Done, "Tonfex.ini", bytes, [&] { app.Kurzubersicht_Click(); }, {});
    };
    read(std::string(100000, 'A') + "\r\nTEMPO " + std::string(100000, '7') + "\r\nANZAHL " + k30 +
         "\r\nTIEFTON -" + k30 + "\r\nHOCHTON " + k30);
    EXPECT_EQ(std::tuple(app.s.TEMPO, app.s.ANZAHL, app.s.TIEFTON, app.s.HOCHTON),
              std::tuple(FLT_MAX, std::int16_t{32767}, 1, 2147483647));
    read(noise(65536, 1));
    EXPECT_EQ(app.s.TRACKZAHL, 8);
    read(std::string("SOUND\0 1\r\nTEMPO 2\0 5\r\n", 22));
    EXPECT_EQ(std::pair(app.s.SOUND, app.s.TEMPO), std::pair(std::string("0"), 2.0f));
    // Saved as UTF-8 by an editor: the keywords with umlauts are found all the same.
    read("ÜBERLAPPUNG 7\r\nTONHÖHENÄNDERUNGSFAKTOR 0.5\r\n");
    EXPECT_EQ(std::pair(double(app.s.UBERLAPPUNG), double(app.s.TONHOHENANDERUNGSFAKTOR)),
              std::pair(7.0, 0.5));
    unchangedExcept({});
}

TEST_F(HostileTest, MelodyFiles) {
    const auto play = on("Tonfex.txt", [&] { app.Startknopf_Click(); });
    const auto score = on("Tonfex.txt", [&] { app.TonfexCap_Click(); });
    score(End::Command, lines(200000, "60 100 4"), // the player's limit: bounded_reads_test
          {"Tonfex.txt enthält mehr als 100000 Töne - mehr kann nicht gelesen werden."});
    // Fields are cut at their widths; a duration of 8 digits is no index of the duration list.
    play(End::Command, "60 100 4 " + std::string(100000, '5') + "\r\n" + std::string(100000, '6'),
         {"Wert für LT größer 127 eingelesen! ...666...",
          "Die Tondauer 66666666 in " + app.folder.text("Tonfex.txt") +
              " ist keine Nummer der Tondauernliste (höchstens 100000)."});
    play(End::Command, k30 + " " + k30 + " " + k30,
         {"Wert für LT größer 127 eingelesen! ...678...", "Die Tondauer 12345678 in "});
    score(End::Command, k30 + " " + k30 + " " + k30,
          {"Wert für LT größer 127 eingelesen! ...567...", "Tonfex-Cap.xml bleibt unverändert"});
    unchangedExcept({});

    // Noise: only the lines that begin with a digit are tones; NUL ends a number.
    play(End::Done, noise(20000, 2), {});
    play(End::Done, std::string("60\0 100\0 4\r\n\0\0\0\r\n", 16),
         {"Das Programm möchte ein Sample Nummer 60"});
    EXPECT_EQ(app.melody.Lautstaerke[1], 100);
    unchangedExcept({"Tonfex.rpp", "Tonfex-HCR.txt"});
}

TEST_F(HostileTest, PatternsAndDurationLists) {
    settings({{"SOUND", "3"}, {"TONFINDUNGSMETHODE", "3"}});
    before["Tonfex.ini"] = file("Tonfex.ini");
    const auto generate = on(
        "Tonfex-Cap-02.txt", [&] { app.Dateiherstellung_Click(); }, false);
    generate(End::Command, lines(20000, "60 100 4"),
             {"Tonfex-Cap-02.txt enthält mehr als 10000 Töne"});
    unchangedExcept({});
    // Values beyond the limits are asked about and replaced; the rule then runs on them.
    generate(End::Done, k30 + "  " + k30 + "  " + k30 + "\r\n" + std::string(100000, '7'),
             {"Wert für HT größer 127 eingelesen: 12345", "Wert für LT größer 127 eingelesen: 789",
              "Wert für HT größer 127 eingelesen: 77777"});
    EXPECT_EQ(app.Pattern02.Tondauer[1], 123456);
    generate(End::Done, noise(20000, 3), {});
    unchangedExcept({"Tonfex.txt", "Tonfex.rpp", "Tonfex-HCR.txt", "Tonfex-Test.txt"});

    const auto play = on("Tonfex-DTC.txt", [&] { app.Startknopf_Click(); });
    play(End::Command, lines(40000, "2400"),
         {"Die Tondauernliste " + app.folder.text("Tonfex-DTC.txt") +
          " hat mehr als 32767 Zeilen."});
    unchangedExcept({});
    play(End::Done, k30 + "\r\n" + noise(20000, 4) + std::string(100000, '9'), {});
    unchangedExcept({"Tonfex.rpp", "Tonfex-HCR.txt"});
}

TEST_F(HostileTest, SampleCatalogs) {
    const auto start = [&] { app.Startknopf_Click(); };
    const auto samples = on("Tonfex-HCR.rpp", start), list = on("Tonfex-HC.txt", start);
    auto project = file("Tonfex-HCR.rpp");
    samples(End::Program, project.substr(0, project.find("SOFFS", project.find("<ITEM"))),
            {"Tonfex-HCR.rpp endet mitten im Item 1 (SOFFS fehlt)"});
    unchangedExcept({"Tonfex-HCR.txt"});
    samples(End::Command, noise(30000, 5),
            {"Das Programm möchte ein Sample Nummer",
             "Auch das erste Sample des Samplekatalogs ist leer; das REAPER-Projekt wird nicht "
             "geschrieben."});
    unchangedExcept({"Tonfex-HCR.txt"});

    settings({{"SOUND", "2"}});
    before["Tonfex.ini"] = file("Tonfex.ini");
    list(End::Command,
         "Glöckchen  1.5  0  0  1  1  hell\r\n" + std::string(100000, 'x') + "\r\nA\0B  " + k30,
         {"Die Zeile 2 der Sampleliste"});
    unchangedExcept({});
}

TEST_F(HostileTest, MusicXmlExportsAndPresetLog) {
    const auto import = on("Tonfex-01.xml", [&] { app.Capellanotenwandeln_Click(); });
    const std::string head = "<score-partwise><part><measure><attributes><divisions>";
    const std::string note = "<note><pitch><step>C</step><octave>4</octave></pitch>"
                             "<duration>480</duration></note>\n";
    // (More than 10000 notes and divisions 0: capella_test, with the exact messages.)
    import(End::Command, noise(20000, 6), {"kein wohlgeformtes XML"});
    unchangedExcept({});

    // Tied notes of the longest durations add up without overflow.
    const std::string tied = "<note><pitch><step>C</step><octave>4</octave></pitch><duration>" +
                             k30 + "</duration><tie type=\"start\"/></note>\n";
    import(End::Done, head + "1</divisions></attributes>" + tied + tied + note +
                             "</measure></part></score-partwise>",
           {});
    EXPECT_EQ(app.Patternpuffer.Tondauer[1], 2147483647);

    app.Load_Click();
    for (const std::string& line :
         {app.folder.text("..\\Tonfex-030327-0905-07.ini"), app.folder.text("Tonfex-..\\..\\x.ini"),
          std::string("A\0B", 3) + noise(300, 7)})
        hostile(End::Command, "Tonfex-Doku.txt", line + "\r\n",
                [&] {
                    app.Load_Click();
                    app.Lini_Click(0);
                },
                {"nennt keine gespeicherte Einstellungsdatei"});
    unchangedExcept({"Tonfex-Cap-PT.txt"});
}
