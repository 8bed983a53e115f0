// Whole-file writes on the disk against what a folder may hold besides plain files: device
// nodes, named pipes, links (also planted ones), leftovers of a killed run.
#include "cli/cli_kit.h"
#include "platform/real.h"

#include <cstdlib>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#endif

using namespace tonfex;
namespace fs = std::filesystem;

TEST(DiskWrites, LeftoversOfAKilledRunGoThoseOfALiveWriterStay) {
    testkit::TempFolder tmp;
    DiskFiles files;
    const fs::path dead = tmp / "Tonfex.txt.tonfex-neu",
                   deadToo = tmp / "Tonfex.rpp.tonfex-neu-x1y2z3";
    const fs::path alive = tmp / "Tonfex.ini.tonfex-neu-a1b2c3";
    testkit::writeBytes(dead, std::string(1000, 'x'));
    testkit::writeBytes(deadToo, "halb");
    testkit::writeBytes(alive, "wird gerade geschrieben");
#ifdef _WIN32
    HANDLE held = CreateFileW(alive.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
#else
    const int held = open(alive.c_str(), O_RDWR);
    ASSERT_GE(held, 0);
    ASSERT_EQ(flock(held, LOCK_EX), 0);
#endif
    EXPECT_EQ(files.writeWhole(tmp / "Tonfex.txt", "60 100 4\r\n"), "");
    EXPECT_EQ(testkit::readBytes(tmp / "Tonfex.txt"), "60 100 4\r\n");
    EXPECT_FALSE(fs::exists(dead));
    EXPECT_FALSE(fs::exists(deadToo));
    EXPECT_TRUE(fs::exists(alive));
#ifdef _WIN32
    CloseHandle(held);
#else
    close(held);
#endif
    // A write that fails halfway leaves nothing behind either.
    auto writer = files.writeInPieces(tmp / "Tonfex.txt");
    writer->write("angefangen");
    writer.reset();
    EXPECT_EQ(testkit::readBytes(tmp / "Tonfex.txt"), "60 100 4\r\n");
    // The writer that has ended since left its file: it went with this write.
    EXPECT_FALSE(testkit::temporaryFileIn(tmp.dir()));
}

#ifndef _WIN32
TEST(DiskWrites, DevicesAndPipesAreWrittenIntoNotReplaced) {
    testkit::TempFolder tmp;
    DiskFiles files;
    // A device node (only root may make one) keeps being one.
    const fs::path device = tmp / "null";
    if (mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0) {
        EXPECT_EQ(files.writeWhole(device, "MThd"), "");
        struct stat st {};
        ASSERT_EQ(lstat(device.c_str(), &st), 0);
        EXPECT_TRUE(S_ISCHR(st.st_mode));
    }
    // A play piped into another program: the pipe's reader gets the MIDI file.
    const fs::path pipe = tmp / "spiel.mid";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] { received = testkit::readBytes(pipe); });
    testkit::prepareMidiPlay(tmp, "60 100 4800\r\n");
    testkit::CliRun r = testkit::cliIn(tmp, {"play", "--mid", pipe.string()});
    reader.join();
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(received.rfind("MThd", 0), 0u);
    struct stat st {};
    ASSERT_EQ(lstat(pipe.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    // A folder is no file.
    EXPECT_EQ(files.writeWhole(tmp.dir(), "x"), "ist ein Ordner");

    // The standard output taken by the file: the program's text goes to the error output.
    const std::string command = std::string(TONFEX_BINARY_DIR) + "/tonfex --arbeit " +
                                tmp.dir().string() + " play --mid /dev/stdout 2>" +
                                (tmp / "text.txt").string() + " | cat >" +
                                (tmp / "aus.mid").string();
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(testkit::readBytes(tmp / "aus.mid").rfind("MThd", 0), 0u);
    EXPECT_TRUE(
        testkit::has(testkit::readBytes(tmp / "text.txt"), "MIDI-Datei geschrieben: /dev/stdout"));
}

TEST(DiskWrites, LinksLeadToTheirFileAPlantedOneIsNotFollowed) {
    testkit::TempFolder tmp;
    DiskFiles files;
    fs::create_directories(tmp / "anderswo");
    // The composer's link: the file it names is replaced in its own folder, the link stays.
    testkit::writeBytes(tmp / "anderswo" / "melodie.txt", "alt");
    fs::create_symlink(tmp / "anderswo" / "melodie.txt", tmp / "Tonfex.txt");
    EXPECT_EQ(files.writeWhole(tmp / "Tonfex.txt", "neu"), "");
    EXPECT_TRUE(fs::is_symlink(tmp / "Tonfex.txt"));
    EXPECT_EQ(testkit::readBytes(tmp / "anderswo" / "melodie.txt"), "neu");
    // A link to nothing is reported, not replaced.
    fs::create_symlink(tmp / "fehlt.xml", tmp / "Tonfex-Cap.xml");
    EXPECT_EQ(files.writeWhole(tmp / "Tonfex-Cap.xml", "<score/>"),
              "ist ein Verweis auf eine Datei, die es nicht gibt");
    EXPECT_TRUE(fs::is_symlink(tmp / "Tonfex-Cap.xml"));
    EXPECT_FALSE(fs::exists(tmp / "fehlt.xml"));
    // A link planted where the temporary file used to go leads nowhere, and is removed.
    testkit::writeBytes(tmp / "opfer.txt", "unberührt");
    fs::create_symlink(tmp / "opfer.txt", tmp / "Tonfex.ini.tonfex-neu");
    EXPECT_EQ(files.writeWhole(tmp / "Tonfex.ini", "[neu]"), "");
    EXPECT_EQ(testkit::readBytes(tmp / "opfer.txt"), "unberührt");
    EXPECT_FALSE(fs::is_symlink(tmp / "Tonfex.ini"));
    EXPECT_FALSE(fs::exists(fs::symlink_status(tmp / "Tonfex.ini.tonfex-neu")));
}

TEST(DiskWrites, TheFileKeepsItsPermissions) {
    testkit::TempFolder tmp;
    DiskFiles files;
    const fs::path melody = tmp / "Tonfex.txt";
    testkit::writeBytes(melody, "alt");
    ASSERT_EQ(chmod(melody.c_str(), 0604), 0);
    EXPECT_EQ(files.writeWhole(melody, "neu"), "");
    struct stat st {};
    ASSERT_EQ(stat(melody.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0604u);
    // A new file gets what the creation mask allows, not the temporary file's 0600.
    const mode_t mask = umask(022);
    EXPECT_EQ(files.writeWhole(tmp / "neu.txt", "x"), "");
    umask(mask);
    ASSERT_EQ(stat((tmp / "neu.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
}
#endif
