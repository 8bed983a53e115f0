#include "core/encoding.h"
#include "core/textfile.h"
#include "platform/doubles.h"
#include "support.h"

#include <gtest/gtest.h>

using namespace tonfex;

TEST(Encoding, Cp1252RoundTripAndLinesWithAnyLineEnd) {
    std::string utf8 = "ÜBERLAPPUNG TONHÖHENÄNDERUNGSFAKTOR ß € „x“";
    std::string bytes = cp1252FromUtf8(utf8);
    EXPECT_EQ(bytes[0], '\xDC');
    EXPECT_EQ(bytes.find('\xA4'), std::string::npos); // € is 0x80 in 1252, not Latin-9's 0xA4
    EXPECT_TRUE(testkit::has(bytes, "\x80"));
    EXPECT_EQ(utf8FromCp1252(bytes), utf8);
    EXPECT_EQ(cp1252FromUtf8("日本"), "??");
    // Files in UTF-8 (with or without a byte order mark) or in Windows-1252 are recognised.
    EXPECT_EQ(testkit::mapped({"\357\273\277TEMPO 1", "\303\234B", "\334BER"}, // octal bytes
                              [](const char* input) { return decodeFileText(input); }),
              (std::vector<std::string>{"TEMPO 1", "ÜB", "ÜBER"}));
    EXPECT_EQ(decodeFileText(std::string("A\0B", 3)), std::string("A\0B", 3));
    // Lines with any line end; written with CR LF.
    EXPECT_EQ(splitLines("a\r\nb\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(splitLines("a\r\n\r\n"), (std::vector<std::string>{"a", ""}));
    EXPECT_TRUE(splitLines("").empty());
    EXPECT_EQ(encodeLines({"Ä", ""}), "\xC4\r\n\r\n");
}

// A text Windows-1252 cannot hold is never replaced by "?": the file becomes UTF-8 and reads
// back exactly, also when it grows line by line from a Windows-1252 or a UTF-8 start.
TEST(TextFile, TextsOutside1252ReadBackExactly) {
    testkit::TempFolder tmp;
    DiskFiles files;
    const auto path = tmp / "Tonfex-Doku.txt";
    ASSERT_EQ(writeTextLines(files, path, {"/home/k/Arbeit-Ω/Tonfex-1.ini", "Töne"}), "");
    EXPECT_EQ(testkit::readBytes(path), "/home/k/Arbeit-Ω/Tonfex-1.ini\r\nTöne\r\n");
    EXPECT_FALSE(fitsCp1252("Ω"));
    EXPECT_TRUE(fitsCp1252("Töne € „x“"));

    const auto log = tmp / "log.txt";
    const std::vector<std::vector<std::string>> appends = {
        {"eins"}, {"Töne"}, {"Arbeit-Ω"}, {"Übung"}, {"zwei"}};
    std::vector<std::string> all;
    for (const auto& lines : appends) {
        ASSERT_EQ(appendTextLines(files, log, lines), "");
        all.insert(all.end(), lines.begin(), lines.end());
        EXPECT_EQ(readTextLines(files, log), all);
    }
    // Until the first such text the file stays in Windows-1252, byte for byte.
    const auto legacy = tmp / "alt.txt";
    ASSERT_EQ(appendTextLines(files, legacy, {"Töne"}), "");
    ASSERT_EQ(appendTextLines(files, legacy, {"ß"}), "");
    EXPECT_EQ(testkit::readBytes(legacy), "T\xF6ne\r\n\xDF\r\n");
    // A file of nothing but the byte order mark has no line to end first.
    const auto marked = tmp / "bom.txt";
    testkit::writeBytes(marked, "\xEF\xBB\xBF");
    ASSERT_EQ(appendTextLines(files, marked, {"eins"}), "");
    EXPECT_EQ(readTextLines(files, marked), (std::vector<std::string>{"eins"}));
    // The file is looked at piece by piece: a letter across the border of the first 64 KiB
    // still shows UTF-8, a last line without its end past the border still gets one.
    const std::string wide = std::string(65535, 'a') + "\xC3\xB6";
    for (const auto& [bytes, want] : {std::pair{wide, wide + "\r\n\xC3\xBC\r\n"},
                                      std::pair{std::string(70000, 'a') + "\xF6",
                                                std::string(70000, 'a') + "\xF6\r\n\xFC\r\n"}}) {
        testkit::writeBytes(marked, bytes);
        ASSERT_EQ(appendTextLines(files, marked, {"ü"}), "");
        EXPECT_EQ(testkit::readBytes(marked), want);
    }
}

// The line reader gives the lines readTextLines gives, whatever the pieces' borders, on disk
// and through the whole-file default; a long line keeps its first bytes, never half a letter.
TEST(TextFile, LinesReadOneByOneAsTheWholeFileGivesThem) {
    testkit::TempFolder tmp;
    DiskFiles disk;
    struct WholeFiles : DiskFiles {
        std::unique_ptr<PieceReader> readInPieces(const std::filesystem::path& path) override {
            return Files::readInPieces(path);
        }
    } whole;
    const std::string border(65535, 'a'); // a CR LF across the first pieces' border
    const std::vector<std::string> contents = {"",
                                               "\r\n",
                                               "a\rb\nc\r\n\r\nd",
                                               border + "\r\nz\r",
                                               "\xEF\xBB\xBFT\xC3\xB6ne\r\n\xFF",
                                               "T\xF6ne\r\nGr\xFC\xDF",
                                               "T\xC3\xB6ne\nGr\xC3\xBC\xC3\x9F"};
    const auto path = tmp / "t.txt";
    for (const auto& bytes : contents) {
        testkit::writeBytes(path, bytes);
        const auto all = readTextLines(disk, path).value();
        for (Files* files : std::initializer_list<Files*>{&disk, &whole}) {
            auto first = readFirstLines(*files, path, 100, 100000).value();
            EXPECT_EQ(first.lines, all) << bytes.size();
            EXPECT_FALSE(first.more);
            EXPECT_EQ(first.firstCut, 0u);
        }
    }
    testkit::writeBytes(path, "eins\r\nzw\xC3\xB6lf\r\ndrei\r\nvier\r\n");
    auto first = readFirstLines(disk, path, 3, 3).value();
    EXPECT_EQ(first.lines, (std::vector<std::string>{"ein", "zw", "dre"}));
    EXPECT_TRUE(first.more);
    EXPECT_EQ(first.firstCut, 1u);
    EXPECT_FALSE(readFirstLines(disk, tmp / "fehlt.txt", 3, 3).has_value());
    EXPECT_FALSE(readTextLines(disk, tmp / "fehlt.txt").has_value());

    auto bytes = readFirstBytes(whole, path, 6).value();
    EXPECT_EQ(bytes.bytes, "eins\r\n");
    EXPECT_TRUE(bytes.more);
    bytes = readFirstBytes(disk, path, 100).value();
    EXPECT_EQ(bytes.bytes, testkit::readBytes(path));
    EXPECT_FALSE(bytes.more);
}
