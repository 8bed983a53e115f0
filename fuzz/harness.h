// The frame every fuzz target runs in: the real program on a working folder in memory with the
// default files, dialogs that answer Yes or No, and the checks that turn a run into a finding.
// One window state serves every input: each run resets what the former one changed.
#pragma once

#include "app/app.h"
#include "platform/doubles.h"

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

// Files in memory that make a finding of every access outside the working folder, record the
// paths written and the most lines a file of the folder had (the bound of the tables' reset).
class ConfinedFiles : public MemoryFiles {
public:
    std::filesystem::path folder;
    std::vector<std::filesystem::path> written;
    size_t mostLines = 0;

    std::optional<std::string> read(const std::filesystem::path& path) override;
    std::unique_ptr<WholeFileWriter> writeInPieces(const std::filesystem::path& path) override;
    std::string append(const std::filesystem::path& path, const std::string& bytes) override;
    std::string copy(const std::filesystem::path& from, const std::filesystem::path& to) override;
    bool exists(const std::filesystem::path& path) override;
    std::string createFolder(const std::filesystem::path& path) override;
    // A file of the input, written as the composer would.
    void putInput(const std::filesystem::path& path, std::string bytes);

private:
    void check(const std::filesystem::path& path) const;
};

// The most event rounds one command may take. A wait of the jumping clock is one round, so a
// legitimate command takes one round per tone played (at most 100000) or per random draw that
// waits (the rules and the sample tuning stop after a few thousand tries): beyond this count
// a loop around the waits does not end.
inline constexpr long kMaxRounds = 2'000'000;

// The clock `play --mid` plays on: time moves only by the waits and each wait jumps to its end in
// one step, so a tone of any length costs one round. The virtual seconds are kept for the report;
// a long play is no finding (a melody of long tones plays long), a wait asked to sleep no time
// or a time that is not a number is.
class FuzzClock : public Clock {
public:
    double monotonic() override { return seconds; }
    void sleep(double s) override;
    LocalTime now() override { return time; }
    bool jumps() const override { return true; }
    double seconds = 1000.0;
    LocalTime time{2027, 3, 3, 9, 5, 7};
};

// Counts the rounds of event processing of the running command.
class CountingEvents : public Events {
public:
    void process() override;
    long rounds = 0;
    std::string command; // the command running, for the finding's message
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
    // The numbers step on as they do anyway; the seed only ends the waits, as a real one does.
    void useSeed(std::int32_t seed) override { seed_ = seed; }
    std::int32_t seed() const override { return seed_; }
    std::int32_t clockSeed() override { return 1; }

private:
    std::uint32_t state_ = 1;
    std::int32_t seed_ = 0;
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

struct World;

// One run of the program on the default working folder.
class Run {
public:
    // `answerYes`: every question is answered Yes (reading goes on through every check) or No.
    Run(bool answerYes, char decimal = '.');
    ~Run();
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;

    World& world;
    ScriptedDialogs& dialogs;
    RecordingClipboard& clipboard;
    RecordingProgramStarter& programs;
    RecordingWindowCloser& windows;
    FuzzClock& clock;
    CountingEvents& events;
    SteppingRandom& random;
    ConfinedFiles& files;
    Platform& platform;
    const WorkFolder& folder;
    App& app;

    // The working folder as the program's texts show it, with its separator at the end.
    std::string folderText() const { return folder.text(""); }
    // Writes a file of the working folder (the input's bytes as they are).
    void put(std::string_view name, const std::string& bytes);
    // The settings template with these keyword lines replaced, without its explanations.
    void settings(const std::vector<std::pair<std::string, std::string>>& values);
    // The files the commands may write besides those listed here are a finding.
    void mayWrite(std::initializer_list<std::string_view> names);
    // Runs one command as the window would: a message ends it, an ended program ends the run.
    // `name` names it in a finding about its waits.
    void command(const std::function<void()>& handler, const char* name = "");
    // The checks after the commands; called by the destructor as well.
    void finish();

    bool programEnded = false;

private:
    // What the run did: its messages, the files written (with a hash of their bytes), the lists
    // and text boxes and the virtual time of each command.
    std::string describe() const;

    std::set<std::filesystem::path> allowed_;
    bool finished_ = false;
};

// What the last run did (its messages, the files it wrote with their bytes, the lists): the
// replay runs the kept inputs twice in different orders and compares, so that state one input
// leaves to the next is found.
const std::string& lastRunOutcome();
// Compares every table of the window state with a fresh one after each run, not only now and
// then (the replay does).
void checkEveryRun(bool on);

} // namespace tonfex::fuzz
