// The frame every fuzz target runs in: the real program on a working folder with the default
// files, dialogs that answer Yes or No, and the checks that turn a run into a finding.
#pragma once

#include "app/app.h"
#include "platform/doubles.h"
#include "platform/real.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace tonfex::fuzz {

// Stops the run (a finding) with `what` on standard error.
[[noreturn]] void finding(const std::string& what);

// Whether `path` lies inside `folder`: no ".." component and no drive or stream colon, with
// "\" taken as a separator too, so that a path that escapes on Windows is caught here as well.
bool confined(const std::filesystem::path& folder, const std::filesystem::path& path);
bool validUtf8(std::string_view text);

// Disk files that make a finding of every access outside the working folder and record
// the paths written.
class ConfinedFiles : public DiskFiles {
public:
    std::filesystem::path folder;
    std::vector<std::filesystem::path> written;

    std::optional<std::string> read(const std::filesystem::path& path) override;
    std::unique_ptr<WholeFileWriter> writeInPieces(const std::filesystem::path& path) override;
    std::string copy(const std::filesystem::path& from, const std::filesystem::path& to) override;
    bool exists(const std::filesystem::path& path) override;
    std::string createFolder(const std::filesystem::path& path) override;

private:
    void check(const std::filesystem::path& path) const;
};

// A clock whose sleeps leap ahead by the time already passed, so that a wait of any length
// (a tone of a million seconds) ends after a few dozen rounds.
class LeapingClock : public ManualClock {
public:
    void sleep(double s) override {
        ManualClock::sleep(s > seconds - 1000.0 ? s : seconds - 1000.0);
    }
};

// Random numbers that differ from draw to draw but are the same in every run, so that each
// finding can be replayed (a reseed changes nothing).
class SteppingRandom : public Random {
public:
    void reseed() override {}
    float next() override {
        state_ = state_ * 1103515245u + 12345u;
        return static_cast<float>((state_ >> 8) & 0xFFFFFF) / 16777216.0f;
    }

private:
    std::uint32_t state_ = 1;
};

// The fuzz input: a first byte of switches, then the file's bytes.
class Input {
public:
    Input(const std::uint8_t* data, size_t size);
    bool bit(int n) const { return (switches_ >> n) & 1; }
    int bits(int from, int count) const { return (switches_ >> from) & ((1 << count) - 1); }
    // The file's bytes, with every "%A%" replaced by `folderText` (the working folder's path
    // with its separator), so that inputs can name files of the folder.
    std::string file(const std::string& folderText = "") const;

private:
    std::uint8_t switches_ = 0;
    std::string_view rest_;
};

// One run of the program on a fresh working folder.
class Run {
public:
    // `answerYes`: every question is answered Yes (reading goes on through every check) or No.
    Run(bool answerYes, char decimal = '.');
    ~Run();
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;

    ScriptedDialogs dialogs;
    RecordingClipboard clipboard;
    RecordingProgramStarter programs;
    RecordingWindowCloser windows;
    LeapingClock clock;
    ScriptedEvents events;
    SteppingRandom random;
    ConfinedFiles files;
    Platform platform{dialogs, clipboard, programs, windows, clock, events, random, files};
    WorkFolder folder;
    App app;

    // The working folder as the program's texts show it, with its separator at the end.
    std::string folderText() const { return folder.text(""); }
    // Writes a file of the working folder (the input's bytes as they are).
    void put(std::string_view name, const std::string& bytes);
    // The settings template with these keyword lines replaced.
    void settings(const std::vector<std::pair<std::string, std::string>>& values);
    // The files the commands may write besides those listed here are a finding.
    void mayWrite(std::initializer_list<std::string_view> names);
    // Runs one command as the window would: a message ends it, an ended program ends the run.
    void command(const std::function<void()>& handler);
    // The checks after the commands; called by the destructor as well.
    void finish();

    bool programEnded = false;

private:
    std::set<std::filesystem::path> allowed_;
    bool finished_ = false;
};

} // namespace tonfex::fuzz
