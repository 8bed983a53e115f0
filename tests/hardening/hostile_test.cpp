// Hostile files in every place the program reads: what it shows, and that every file it had
// written before stays as it was unless the command itself rewrites it.
#include "app/fixture.h"

#include "core/errors.h"

#include <cfloat>
#include <map>
#include <random>

using namespace tonfex;

namespace {

std::string lines(size_t count, const std::string& line) {
    std::string out;
    out.reserve(count * (line.size() + 2));
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
        before = files();
        tp.dialogs.records.clear();
    }

    std::map<std::string, std::string> files() {
        std::map<std::string, std::string> all;
        for (const auto& e : std::filesystem::directory_iterator(tmp.dir()))
            if (e.is_regular_file())
                all[e.path().filename().string()] = testkit::readBytes(e.path());
        return all;
    }

    // Puts `bytes` in place of `name`, runs `command` answering Yes, and returns how it ended.
    End hostile(const std::string& name, const std::string& bytes,
                const std::function<void()>& command) {
        testkit::writeBytes(tmp / name, bytes);
        before[name] = bytes;
        try {
            command();
        } catch (const CommandEnd&) {
            return End::Command;
        } catch (const ProgramEnd&) {
            return End::Program;
        }
        return End::Done;
    }

    // The texts shown since the last call, checked against the pieces each must contain;
    // with `all` false only the first texts are checked.
    void shows(const std::vector<std::string>& pieces, bool all = true) {
        std::vector<std::string> texts;
        for (const auto& r : tp.dialogs.records)
            texts.push_back(r.text);
        tp.dialogs.records.clear();
        if (all) {
            ASSERT_EQ(texts.size(), pieces.size()) << (texts.empty() ? "" : texts.back());
        }
        ASSERT_GE(texts.size(), pieces.size());
        for (size_t i = 0; i < pieces.size(); ++i)
            EXPECT_NE(texts[i].find(pieces[i]), std::string::npos)
                << texts[i] << " / " << pieces[i];
    }

    // Every file is as it was, except those the commands rewrote, which count as the state
    // from now on; no temporary file is left.
    void unchangedExcept(std::initializer_list<std::string> rewritten) {
        auto now = files();
        for (const auto& name : rewritten)
            now.count(name) ? void(before[name] = now[name]) : void(before.erase(name));
        for (const auto& [name, bytes] : before)
            EXPECT_TRUE(now.count(name) && now[name] == bytes) << name << " changed or gone";
        for (const auto& [name, bytes] : now)
            EXPECT_TRUE(before.count(name)) << name << " is new";
    }
};

} // namespace

TEST_F(HostileTest, SettingsFiles) {
    auto tenThousand = lines(300, "x") + lines(9700, "SOUND 1");
    EXPECT_EQ(
        hostile("Tonfex.ini", file("Tonfex.ini") + tenThousand, [&] { app.Kurzubersicht_Click(); }),
        End::Done);
    EXPECT_EQ(app.ini.count, IniTable::kMaxLines);
    EXPECT_EQ(app.s.SOUND, "3"); // the lines after the 300th do not count

    EXPECT_EQ(hostile("Tonfex.ini",
                      std::string(100000, 'A') + "\r\nTEMPO " + std::string(100000, '7') +
                          "\r\nANZAHL " + k30 + "\r\nTIEFTON -" + k30 + "\r\nHOCHTON " + k30,
                      [&] { app.Kurzubersicht_Click(); }),
              End::Done);
    EXPECT_EQ(app.s.TEMPO, FLT_MAX);
    EXPECT_EQ(app.s.ANZAHL, 32767);
    EXPECT_EQ(app.s.TIEFTON, 1);
    EXPECT_EQ(app.s.HOCHTON, 2147483647);

    EXPECT_EQ(hostile("Tonfex.ini", noise(65536, 1), [&] { app.Kurzubersicht_Click(); }),
              End::Done);
    EXPECT_EQ(app.s.TRACKZAHL, 8);

    EXPECT_EQ(hostile("Tonfex.ini", std::string("SOUND\0 1\r\nTEMPO 2\0 5\r\n", 22),
                      [&] { app.Kurzubersicht_Click(); }),
              End::Done);
    EXPECT_EQ(app.s.SOUND, "0");
    EXPECT_EQ(app.s.TEMPO, 2.0f);

    // Saved as UTF-8 by an editor: the keywords with umlauts are found all the same.
    EXPECT_EQ(hostile("Tonfex.ini", "ÜBERLAPPUNG 7\r\nTONHÖHENÄNDERUNGSFAKTOR 0.5\r\n",
                      [&] { app.Kurzubersicht_Click(); }),
              End::Done);
    EXPECT_EQ(app.s.UBERLAPPUNG, 7);
    EXPECT_EQ(app.s.TONHOHENANDERUNGSFAKTOR, 0.5);
    shows({});
    unchangedExcept({});
}

TEST_F(HostileTest, MelodyFiles) {
    const auto play = [&](const std::string& bytes) {
        return hostile("Tonfex.txt", bytes, [&] { app.Startknopf_Click(); });
    };
    const auto score = [&](const std::string& bytes) {
        return hostile("Tonfex.txt", bytes, [&] { app.TonfexCap_Click(); });
    };
    EXPECT_EQ(play(lines(200000, "60 100 4")), End::Command);
    shows({"Tonfex.txt enthält mehr als 100000 Töne - mehr kann nicht gelesen werden."});
    EXPECT_EQ(score(lines(200000, "60 100 4")), End::Command);
    shows({"Tonfex.txt enthält mehr als 100000 Töne - mehr kann nicht gelesen werden."});
    // Fields are cut at their widths; a duration of 8 digits is no index of the duration list.
    EXPECT_EQ(play("60 100 4 " + std::string(100000, '5') + "\r\n" + std::string(100000, '6')),
              End::Command);
    shows({"Wert für LT größer 127 eingelesen! ...666...",
           "Die Tondauer 66666666 in " + app.folder.text("Tonfex.txt") +
               " ist keine Nummer der Tondauernliste (höchstens 100000)."});
    EXPECT_EQ(play(k30 + " " + k30 + " " + k30), End::Command);
    shows({"Wert für LT größer 127 eingelesen! ...678...", "Die Tondauer 12345678 in "});
    EXPECT_EQ(score(k30 + " " + k30 + " " + k30), End::Command);
    shows({"Wert für LT größer 127 eingelesen! ...567...", "Tonfex-Cap.xml bleibt unverändert"});
    unchangedExcept({});

    // Noise: only the lines that begin with a digit are tones; NUL ends a number.
    EXPECT_EQ(play(noise(20000, 2)), End::Done);
    shows({});
    EXPECT_EQ(play(std::string("60\0 100\0 4\r\n\0\0\0\r\n", 16)), End::Done);
    shows({"Das Programm möchte ein Sample Nummer 60"});
    EXPECT_EQ(app.melody.Lautstaerke[1], 100);
    unchangedExcept({"Tonfex.rpp", "Tonfex-HCR.txt"});
}

TEST_F(HostileTest, PatternsAndDurationLists) {
    settings({{"SOUND", "3"}, {"TONFINDUNGSMETHODE", "3"}});
    before["Tonfex.ini"] = file("Tonfex.ini");
    const auto generate = [&](const std::string& bytes) {
        return hostile("Tonfex-Cap-02.txt", bytes, [&] { app.Dateiherstellung_Click(); });
    };
    EXPECT_EQ(generate(lines(20000, "60 100 4")), End::Command);
    shows({"Tonfex-Cap-02.txt enthält mehr als 10000 Töne"});
    unchangedExcept({});
    // Values beyond the limits are asked about and replaced; the rule then runs on them.
    EXPECT_EQ(generate(k30 + "  " + k30 + "  " + k30 + "\r\n" + std::string(100000, '7')),
              End::Done);
    shows({"Wert für HT größer 127 eingelesen: 12345", "Wert für LT größer 127 eingelesen: 789",
           "Wert für HT größer 127 eingelesen: 77777"},
          false);
    EXPECT_EQ(app.Pattern02.Tondauer[1], 123456);
    EXPECT_EQ(generate(noise(20000, 3)), End::Done);
    unchangedExcept({"Tonfex.txt", "Tonfex.rpp", "Tonfex-HCR.txt", "Tonfex-Test.txt"});
    tp.dialogs.records.clear();

    const auto play = [&](const std::string& bytes) {
        return hostile("Tonfex-DTC.txt", bytes, [&] { app.Startknopf_Click(); });
    };
    EXPECT_EQ(play(lines(40000, "2400")), End::Command);
    shows({"Die Tondauernliste " + app.folder.text("Tonfex-DTC.txt") +
           " hat mehr als 32767 Zeilen."});
    unchangedExcept({});
    EXPECT_EQ(play(k30 + "\r\n" + noise(20000, 4) + std::string(100000, '9')), End::Done);
    shows({});
    unchangedExcept({"Tonfex.rpp", "Tonfex-HCR.txt"});
}

TEST_F(HostileTest, SampleCatalogs) {
    const auto play = [&](const std::string& name, const std::string& bytes) {
        return hostile(name, bytes, [&] { app.Startknopf_Click(); });
    };
    auto project = file("Tonfex-HCR.rpp");
    auto cut = project.substr(0, project.find("SOFFS", project.find("<ITEM")));
    EXPECT_EQ(play("Tonfex-HCR.rpp", cut), End::Program);
    shows({"Tonfex-HCR.rpp endet mitten im Item 1 (SOFFS fehlt)"});
    unchangedExcept({"Tonfex-HCR.txt"});
    EXPECT_EQ(play("Tonfex-HCR.rpp", noise(30000, 5)), End::Command);
    shows({"Das Programm möchte ein Sample Nummer",
           "Auch das erste Sample des Samplekatalogs ist leer; das REAPER-Projekt wird nicht "
           "geschrieben."});
    unchangedExcept({"Tonfex-HCR.txt"});

    settings({{"SOUND", "2"}});
    before["Tonfex.ini"] = file("Tonfex.ini");
    EXPECT_EQ(play("Tonfex-HC.txt", "Glöckchen  1.5  0  0  1  1  hell\r\n" +
                                        std::string(100000, 'x') + "\r\nA\0B  " + k30),
              End::Command);
    shows({"Die Zeile 2 der Sampleliste"});
    unchangedExcept({});
}

TEST_F(HostileTest, MusicXmlExportsAndPresetLog) {
    const auto import = [&](const std::string& bytes) {
        return hostile("Tonfex-01.xml", bytes, [&] { app.Capellanotenwandeln_Click(); });
    };
    const std::string head = "<score-partwise><part><measure><attributes><divisions>";
    const std::string note = "<note><pitch><step>C</step><octave>4</octave></pitch>"
                             "<duration>480</duration></note>\n";
    std::string many;
    for (int k = 0; k < 20000; ++k)
        many += note;
    EXPECT_EQ(import(head + "480</divisions></attributes>" + many + "</measure></part>"),
              End::Command);
    shows({"Tonfex-01.xml enthält mehr als 10000 Noten"});
    EXPECT_EQ(import(head + "0</divisions></attributes>" + note + "</measure></part>"),
              End::Command);
    shows({"Tonfex-01.xml ist <divisions> 0"});
    EXPECT_EQ(import(noise(20000, 6)), End::Command);
    shows({"keine Angabe <divisions>"});
    unchangedExcept({});

    // Tied notes of the longest durations add up without overflow.
    const std::string tied = "<note><pitch><step>C</step><octave>4</octave></pitch><duration>" +
                             k30 + "</duration><tie type=\"start\"/></note>\n";
    EXPECT_EQ(import(head + "1</divisions></attributes>" + tied + tied + note + "</measure>"),
              End::Done);
    shows({});
    EXPECT_EQ(app.Patternpuffer.Tondauer[1], 2147483647);

    app.Load_Click();
    const auto choose = [&](const std::string& line) {
        return hostile("Tonfex-Doku.txt", line + "\r\n", [&] {
            app.Load_Click();
            app.Lini_Click(0);
        });
    };
    EXPECT_EQ(choose(app.folder.text("..\\Tonfex-030327-0905-07.ini")), End::Command);
    shows({"nennt keine gespeicherte Einstellungsdatei"});
    EXPECT_EQ(choose(app.folder.text("Tonfex-..\\..\\x.ini")), End::Command);
    shows({"nennt keine gespeicherte Einstellungsdatei"});
    EXPECT_EQ(choose(std::string("A\0B") + noise(300, 7)), End::Command);
    shows({"nennt keine gespeicherte Einstellungsdatei"});
    unchangedExcept({"Tonfex-Cap-PT.txt"});
}
