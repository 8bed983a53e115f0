#include "core/textfile.h"
#include "platform/doubles.h"

#include <gtest/gtest.h>

using namespace tonfex;
using namespace std::string_literals;

using Lines = std::vector<std::string>;

TEST(MemoryFiles, WholeWriteLandsOnlyAtFinish) {
    MemoryFiles files;
    ASSERT_EQ(files.createFolder("/w/a"), "");
    files.put("/w/a/x.txt", "alt");
    auto writer = files.writeInPieces("/w/a/x.txt");
    writer->write("neu");
    writer->write("er Text");
    EXPECT_EQ(std::pair(*files.read("/w/a/x.txt"), files.openWriters()), std::pair("alt"s, 1));
    writer->rewriteStart("NEU");
    EXPECT_EQ(writer->finish(), "");
    // A writer dropped before finish() leaves the old file whole.
    files.writeInPieces("/w/a/x.txt")->write("weg");
    EXPECT_EQ(std::pair(*files.read("/w/a/x.txt"), files.openWriters()),
              std::pair("NEUer Text"s, 0));
    // A start rewritten longer than the bytes so far extends them.
    writer = files.writeInPieces("/w/a/h.bin");
    writer->write("ab");
    writer->rewriteStart("WXYZ");
    writer->write("!");
    EXPECT_EQ(writer->finish(), "");
    EXPECT_EQ(*files.read("/w/a/h.bin"), "WXYZ!");
}

TEST(MemoryFiles, FoldersAsOnDiskAndACopyIsASnapshot) {
    MemoryFiles files;
    EXPECT_EQ(files.writeWhole("/fehlt/x.txt", "x"), "kann nicht geschrieben werden");
    EXPECT_FALSE(files.exists("/fehlt/x.txt"));
    EXPECT_EQ(files.createFolder("/w/u/v"), "");
    EXPECT_TRUE(files.exists("/w/u"));
    EXPECT_FALSE(files.read("/w/u")); // a folder reads as nothing
    EXPECT_EQ(files.writeWhole("/w/u", "x"), "kann nicht geschrieben werden");
    EXPECT_EQ(files.writeWhole("/w/u/./v/../y.txt", "y"), "");
    EXPECT_EQ(*files.read("/w/u/y.txt"), "y");
    EXPECT_EQ(files.createFolder("/w/u/y.txt/z"), "kann nicht angelegt werden");
    // Appending creates the folders and the file.
    EXPECT_EQ(files.append("/n/m/log.txt", "1"), "");
    EXPECT_EQ(files.append("/n/m/log.txt", "2"), "");
    EXPECT_EQ(files.copy("/n/m/log.txt", "/w/kopie.txt"), "");
    EXPECT_EQ(*files.read("/n/m/log.txt") + *files.read("/w/kopie.txt"), "1212");
    EXPECT_EQ(files.copy("/n/fehlt.txt", "/w/k2.txt"), "ist nicht vorhanden");
    EXPECT_FALSE(files.exists("/w/k2.txt"));

    ASSERT_EQ(writeTextLines(files, "/w/t.txt", {"eins", "zwei"}), "");
    const MemoryFiles snapshot = files;
    ASSERT_EQ(writeTextLines(files, "/w/t.txt", {"drei"}), "");
    files.createFolder("/w/neu");
    EXPECT_EQ(*readTextLines(files, "/w/t.txt"), std::vector<std::string>{"drei"});
    files = snapshot;
    EXPECT_EQ(*readTextLines(files, "/w/t.txt"), (std::vector<std::string>{"eins", "zwei"}));
    EXPECT_FALSE(files.exists("/w/neu"));
}

TEST(MemoryFiles, AppendingAfterALastLineWithoutItsEnd) {
    // A log edited by hand may lack the last line end: an appended line must not join it.
    for (const std::string& old :
         {std::string("A.ini"), std::string("\xc4.ini"), std::string("\xc3\x84.ini")}) {
        MemoryFiles files;
        files.createFolder("/w");
        files.put("/w/log.txt", old);
        for (const std::string& line : {std::string("B.ini"), std::string("\xc3\x9c.ini")})
            ASSERT_EQ(appendTextLines(files, "/w/log.txt", {line}), "");
        const auto lines = *readTextLines(files, "/w/log.txt");
        ASSERT_EQ(lines.size(), 3u) << old;
        EXPECT_EQ(Lines(lines.begin() + 1, lines.end()), (Lines{"B.ini", "\xc3\x9c.ini"})) << old;
    }
}
