#include "core/errors.h"
#include "notation_kit.h"

using namespace tonfex;
using testkit::readBytes;

namespace {

// A note in the one-element-per-line layout of a Capella export; step "" is a rest.
struct N {
    std::string step;
    int alter = 0, octave = 4, duration = 480;
    bool tieStart = false;
};

std::string capellaExport(const std::vector<N>& notes, const std::string& divisions = "480") {
    std::string x = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n"
                    "<score-partwise version=\"1.1\">\n    <part id=\"P1\">\n"
                    "        <measure number=\"1\">\n            <attributes>\n";
    if (!divisions.empty()) x += "                <divisions>" + divisions + "</divisions>\n";
    x += "            </attributes>\n";
    for (const N& n : notes) {
        x += "            <note>\n";
        if (n.step.empty()) {
            x += "                <rest/>\n";
        } else {
            x += "                <pitch>\n                    <step>" + n.step + "</step>\n";
            if (n.alter)
                x += "                    <alter>" + std::to_string(n.alter) + "</alter>\n";
            x += "                    <octave>" + std::to_string(n.octave) +
                 "</octave>\n                </pitch>\n";
        }
        x += "                <duration>" + std::to_string(n.duration) + "</duration>\n";
        if (n.tieStart) x += "                <tie type=\"start\"/>\n";
        x += "                <voice>1</voice>\n            </note>\n";
    }
    return x + "        </measure>\n    </part>\n</score-partwise>\n";
}

struct ImportTest : testkit::ImportTest {
    std::string run(const std::string& xml) {
        testkit::writeBytes(tmp / "Tonfex-01.xml", xml);
        return import(CapellaLesen, tmp / "Tonfex-01.xml");
    }
    // Runs an import that must fail and returns its message; the pattern file stays.
    std::string failure(const std::string& xml) {
        testkit::writeBytes(tmp / "Tonfex-Cap-PT.txt", "60  100  2000\r\n");
        EXPECT_THROW(run(xml), CommandEnd);
        EXPECT_EQ(readBytes(tmp / "Tonfex-Cap-PT.txt"), "60  100  2000\r\n");
        return tp.dialogs.records.empty() ? "" : tp.dialogs.records.back().text;
    }
};

const std::vector<N> kMelody = {{"C", 0, 4, 480}, {"F", 1, 4, 240},       {"B", -1, 4, 240},
                                {"D", 0, 5, 480}, {"", 0, 0, 240},        {"G", 0, 4, 480, true},
                                {"G", 0, 4, 240}, {"A", 0, 4, 480, true}, {"A", 0, 4, 480, true},
                                {"A", 0, 4, 960}};
const std::string kRows = "48  100  2000\r\n54  100  1000\r\n58  100  1000\r\n62  100  2000\r\n"
                          "62  1  1000\r\n55  100  3000\r\n57  100  8000\r\n";

} // namespace

TEST_F(ImportTest, CapellaLayoutGivesOneRowPerNoteWithTiesJoined) {
    EXPECT_EQ(run(capellaExport(kMelody)), kRows);
    EXPECT_TRUE(tp.dialogs.records.empty());
    EXPECT_EQ(buffer.Zeilen, 7);
    // A quarter is 2000 whatever the divisions, rounded to whole units.
    EXPECT_EQ(run(capellaExport({{"C", 0, 5, 4}, {"C", 0, 5, 3}}, "4")),
              "60  100  2000\r\n60  100  1500\r\n");
    EXPECT_EQ(run(capellaExport({{"C", 0, 5, 1}, {"C", 0, 5, 5}}, "3")),
              "60  100  667\r\n60  100  3333\r\n");
}

TEST_F(ImportTest, OtherLayoutsReadLikeCapellas) {
    // MuseScore: attributes on tags, elements closed on their own lines, measure rests.
    std::string x = capellaExport(kMelody);
    for (size_t p; (p = x.find("<note>")) != std::string::npos;)
        x.replace(p, 6, "<note default-x=\"75.17\" default-y='-50.00'>");
    x.replace(x.find("<rest/>"), 7, "<rest measure=\"yes\"/>");
    x.replace(x.find("<divisions>"), 11, "<divisions >");
    EXPECT_EQ(run(x), kRows);
    // Everything on one line, with a comment, a grace note and an unpitched note between.
    std::string oneLine;
    for (char c : capellaExport(kMelody))
        if (c != '\n') oneLine += c;
    oneLine.insert(oneLine.find("<note>"),
                   "<!-- <note><pitch> --><note><grace/><pitch><step>E</step><octave>4</octave>"
                   "</pitch><voice>1</voice></note><note><unpitched><display-step>E</display-step>"
                   "<display-octave>4</display-octave></unpitched><duration>480</duration></note>");
    EXPECT_EQ(run(oneLine), kRows);
    // Every element with a namespace prefix, CR LF line ends and tabs.
    std::string prefixed;
    for (char c : capellaExport(kMelody)) {
        if (c == '\n') prefixed += "\r";
        prefixed += c == ' ' ? '\t' : c;
        if (c == '<') prefixed += "m:";
    }
    for (size_t p; (p = prefixed.find("m:/")) != std::string::npos;)
        prefixed.replace(p, 3, "/m:");
    prefixed.replace(prefixed.find("m:?xml"), 6, "?xml");
    prefixed.replace(prefixed.find("<m:score-partwise") + 17, 0, " xmlns:m=\"urn:x\"");
    EXPECT_EQ(run(prefixed), kRows);
}

TEST_F(ImportTest, QuestionsDecideWhatIsOverwritten) {
    keineFrage = false;
    const std::string handMade = "50  70  1000\r\n52  80  1000\r\n";
    const std::string xml = capellaExport({{"C", 0, 5, 480}, {"D", 0, 5, 240}, {"E", 0, 5, 960}});
    auto answer = [&](bool pitches, bool volumes, bool durations) {
        testkit::writeBytes(tmp / "Tonfex-Cap-PT.txt", handMade);
        tp.dialogs.records.clear();
        tp.dialogs.answers = {pitches, volumes, durations};
        return run(xml);
    };
    // Rows the old pattern did not have get 0 where nothing is overwritten.
    EXPECT_EQ(answer(true, false, true), "60  70  2000\r\n62  80  1000\r\n64  0  4000\r\n");
    const std::string fromCapella = " werden mit Werten aus Capella überschrieben - ok?";
    EXPECT_EQ(testkit::texts(tp.dialogs),
              (std::vector<std::string>{"Die TONHÖHEN" + fromCapella,
                                        "Die LAUTSTÄRKEN werden mit 100 überschrieben - ok?",
                                        "Die TONDAUERN" + fromCapella}));
    // Rows with pitch 0 are not written.
    EXPECT_EQ(answer(false, true, false), "50  100  1000\r\n52  100  1000\r\n");
    EXPECT_EQ(answer(false, false, false), handMade);
    EXPECT_EQ(answer(true, true, true), "60  100  2000\r\n62  100  1000\r\n64  100  4000\r\n");
}

TEST_F(ImportTest, LeadingRestTakesTheFirstPitchALaterOneTheLastPitch) {
    const std::string restFirst =
        capellaExport({{"", 0, 0, 480}, {"C", 0, 5, 480}, {"", 0, 0, 240}, {"E", 0, 5, 480}});
    EXPECT_EQ(run(restFirst), "60  1  2000\r\n60  100  2000\r\n60  1  1000\r\n64  100  2000\r\n");
    // A pattern of rests only keeps the pitch an earlier import left.
    EXPECT_EQ(run(capellaExport({{"", 0, 0, 480}})), "64  1  2000\r\n");
}

TEST_F(ImportTest, UnreadableExportsLeaveThePatternFile) {
    const std::string unchanged =
        " - " + (tmp / "Tonfex-Cap-PT.txt").string() + " bleibt unverändert.";
    const std::string xmlText = (tmp / "Tonfex-01.xml").string();
    keineFrage = false;
    EXPECT_EQ(failure(capellaExport({{"C"}}, "")),
              "In " + xmlText + " steht keine Angabe <divisions> (Teilung der Viertelnote)" +
                  unchanged);
    EXPECT_EQ(failure(capellaExport({{"C"}}, "0")),
              "In " + xmlText + " ist <divisions> 0, die Notenlängen lassen sich so nicht lesen" +
                  unchanged);
    EXPECT_EQ(tp.dialogs.records.size(), 2u); // no question before these messages
    keineFrage = true;
    std::vector<N> many(10000, N{"C"});
    EXPECT_EQ(run(capellaExport(many)).size(), 10000u * 15);
    many.push_back(N{""});
    EXPECT_EQ(failure(capellaExport(many)),
              xmlText + " enthält mehr als 10000 Noten, so viele fasst ein Pattern nicht" +
                  unchanged);
}

TEST_F(ImportTest, VoiceOneOfTheFirstStaffAndPartInEitherScoreLayout) {
    // Measure 1 of part P1: the chord E5+G5, F5 tied by <tied> to F5, a grace note, a cue
    // note; voice 2 after a <backup>; a note of staff 2; a <forward> of voice 1, which with
    // the cue note's time becomes a rest.
    // A quarter is 40000 divisions. Part P2 has a note of its own.
    const std::string q = "40000", h = "80000";
    auto note = [](const std::string& inner) { return "<note>" + inner + "</note>"; };
    auto pitch = [](const char* step, int octave) {
        return std::string("<pitch><step>") + step + "</step><octave>" + std::to_string(octave) +
               "</octave></pitch>";
    };
    const std::string p1 =
        "<attributes><divisions>" + q + "</divisions><staves>2</staves></attributes>" +
        note(pitch("E", 5) + "<duration>" + q + "</duration><voice>1</voice><staff>1</staff>") +
        note("<chord/>" + pitch("G", 5) + "<duration>" + q + "</duration><voice>1</voice>") +
        note(pitch("F", 5) + "<duration>" + q +
             "</duration><voice>1</voice><notations><tied type=\"start\"/></notations>") +
        note("<grace/>" + pitch("A", 5) + "<voice>1</voice>") +
        note(pitch("F", 5) + "<duration>" + q + "</duration><voice>1</voice>") +
        note("<cue/>" + pitch("B", 5) + "<duration>" + q + "</duration><voice>1</voice>") +
        "<backup><duration>160000</duration></backup>" +
        note(pitch("C", 4) + "<duration>160000</duration><voice>2</voice>") +
        "<backup><duration>160000</duration></backup>" +
        note(pitch("C", 3) + "<duration>" + h + "</duration><voice>5</voice><staff>2</staff>") +
        "<forward><duration>120000</duration><voice>1</voice></forward>" +
        note(pitch("D", 5) + "<duration>" + q + "</duration><voice>1</voice>");
    const std::string p2 = note(pitch("A", 3) + "<duration>160000</duration>");
    const std::string head = "<?xml version=\"1.0\"?><!-- MuseScore -->\n<score-";
    const std::string partwise = head + "partwise><part-list><score-part id=\"P1\"/>"
                                 "<score-part id=\"P2\"/></part-list><part id=\"P1\">"
                                 "<measure number=\"1\">" + p1 + "</measure></part><part id=\"P2\">"
                                 "<measure number=\"1\">" + p2 + "</measure></part></score-partwise>";
    const std::string timewise = head + "timewise><measure number=\"1\"><part id=\"P1\">" + p1 +
                                 "</part><part id=\"P2\">" + p2 + "</part></measure></score-timewise>";
    const std::string rows = "64  100  2000\r\n65  100  4000\r\n65  1  4000\r\n62  100  2000\r\n";
    for (const std::string& x : {partwise, timewise}) {
        EXPECT_EQ(run(x), rows);
        ASSERT_GE(zuordnung.count(), 4);
        EXPECT_EQ(zuordnung.lines()[2], "Gelesen aus " + (tmp / "Tonfex-01.xml").string());
        EXPECT_EQ(zuordnung.lines()[3],
                  "Aus Tonfex-01.xml übergangen: 1 Akkordton, 2 Noten weiterer Stimmen, 1 Note "
                  "weiterer Instrumente, 1 Vorschlagsnote, 1 Stichnote");
    }
}

TEST_F(ImportTest, ExportUnderEachOfItsThreeNames) {
    const std::string xml = capellaExport({{"C", 0, 5, 480}});
    testkit::writeBytes(tmp / "Tonfex-01.musicxml", xml);
    EXPECT_EQ(import(CapellaLesen, tmp / "Tonfex-01.xml"), "60  100  2000\r\n");
    EXPECT_EQ(zuordnung.lines()[2], "Gelesen aus " + (tmp / "Tonfex-01.musicxml").string());
    std::filesystem::remove(tmp / "Tonfex-01.musicxml");
    EXPECT_THROW(import(CapellaLesen, tmp / "Tonfex-01.xml"), CommandEnd);
    EXPECT_TRUE(testkit::has(tp.dialogs.records.back().text,
                             "Tonfex-01.xml (auch Tonfex-01.musicxml und Tonfex-01.mxl) ist "
                             "nicht vorhanden!"));
    // A damaged archive is named, and the pattern file stays.
    testkit::writeBytes(tmp / "Tonfex-01.mxl", "PK\x03\x04 kein Archiv");
    EXPECT_THROW(import(CapellaLesen, tmp / "Tonfex-01.xml"), CommandEnd);
#ifdef _WIN32 // the Windows build has no zip library
    EXPECT_TRUE(testkit::has(tp.dialogs.records.back().text, "Tonfex-01.mxl: komprimiertes"));
#else
    EXPECT_TRUE(testkit::has(tp.dialogs.records.back().text, "Tonfex-01.mxl ist kein lesbares"));
#endif
    EXPECT_EQ(readBytes(tmp / "Tonfex-Cap-PT.txt"), "60  100  2000\r\n");
}

TEST(ScanXml, TagsTextsAndMarkupThatIsNoElement) {
    auto tokens = scanXml("<!DOCTYPE a [<!ENTITY x \"<note>\">]><?pi <note>?><a b=\"x>y\" c='1'>"
                          " A &amp; B <![CDATA[<note>]]><e/></a>");
    std::string seen;
    for (const auto& t : tokens)
        seen += std::string(1, "SEXT"[static_cast<int>(t.kind)]) + t.name + t.text + "|";
    EXPECT_EQ(seen, "Sa|TA & B|T<note>|Xe|Ea|");
    EXPECT_EQ(tokens[0].attribute("b"), "x>y");
    EXPECT_EQ(tokens[0].attribute("c"), "1");
    EXPECT_FALSE(tokens[0].attribute("x").has_value());
    // An external entity is never read (the file it names stays unseen), nor a DTD fetched.
    testkit::TempFolder tmp;
    testkit::writeBytes(tmp / "geheim.txt", "GEHEIM");
    std::string seenText;
    for (const auto& t : scanXml("<!DOCTYPE a SYSTEM \"http://localhost:1/x.dtd\" [<!ENTITY x SYSTEM \"file://" +
                                 (tmp / "geheim.txt").string() + "\">]><a>&x;</a>"))
        seenText += t.text;
    EXPECT_FALSE(testkit::has(seenText, "GEHEIM"));
    // Damage is named with its line, whichever reader the build has.
    for (const char* damaged : {"<a>1</a><b unclosed", "<a>\n<b>\n</a>", "<a/>\n<b/>", "<a>\n<b>"}) {
        std::string error;
        scanXml(damaged, &error);
        EXPECT_TRUE(error.starts_with("Zeile ") && testkit::has(error, ": Die Datei ist kein wohlgeformtes XML"))
            << damaged << " -> " << error;
    }
}
