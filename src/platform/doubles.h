// Test doubles of the platform interfaces: scripted answers, recorded calls, a settable clock.
#pragma once

#include "platform/platform.h"
#include "platform/real.h"

#include <deque>
#include <functional>
#include <map>
#include <set>

namespace tonfex {

struct DialogRecord {
    bool question = false;
    std::string title;
    std::string text;
    bool answer = false;
    bool offersAll = false; // the question offered "Ja, alle"
    bool all = false;       // ... and was answered with it
};

// Answers questions from a script; when the script is empty, with `defaultAnswer`. A question
// that offers "Ja, alle" takes its answer from `allAnswers` first, then from `answers`.
class ScriptedDialogs : public Dialogs {
public:
    bool ask(const std::string& title, const std::string& text) override;
    Answer askAll(const std::string& title, const std::string& text) override;
    void tell(const std::string& title, const std::string& text) override;

    std::deque<bool> answers;
    std::deque<Answer> allAnswers;
    bool defaultAnswer = true;
    std::vector<DialogRecord> records;
    // Called after every dialog, e.g. to change files while a question is open.
    std::function<void(const DialogRecord&)> onDialog;

private:
    bool nextAnswer();
};

class RecordingClipboard : public Clipboard {
public:
    void clear() override { text.clear(), clears++; }
    void setText(const std::string& t) override { text = t; }
    std::string text;
    int clears = 0;
};

struct StartRecord {
    CommandLine command;
    bool minimized = false;
};

class RecordingProgramStarter : public ProgramStarter {
public:
    bool start(const CommandLine& command, bool minimized) override {
        starts.push_back({command, minimized});
        return succeed;
    }
    std::vector<StartRecord> starts;
    bool succeed = true;
};

class RecordingWindowCloser : public WindowCloser {
public:
    void closeContaining(const std::string& text) override { closed.push_back(text); }
    std::vector<std::string> closed;
};

// A clock that only moves when told to, or when slept on.
class ManualClock : public Clock {
public:
    double monotonic() override { return seconds; }
    void sleep(double s) override {
        sleeps++;
        if (s > 0) seconds += s;
    }
    LocalTime now() override { return time; }
    double seconds = 1000.0;
    LocalTime time{2027, 3, 3, 9, 5, 7};
    int sleeps = 0;
};

// Runs a callback on each round of event processing (a click during a wait).
class ScriptedEvents : public Events {
public:
    void process() override {
        rounds++;
        if (onProcess) onProcess();
    }
    std::function<void()> onProcess;
    int rounds = 0;
};

// Hands out scripted numbers in turn, then `fallback`.
class ScriptedRandom : public Random {
public:
    void reseed() override {
        if (seed_ == 0) reseeds++;
    }
    float next() override {
        if (numbers.empty()) return fallback;
        float v = numbers.front();
        numbers.pop_front();
        return v;
    }
    // The scripted numbers go on as they are; only the seed is recorded.
    void useSeed(std::int32_t seed) override {
        seed_ = seed;
        seedsUsed.push_back(seed);
    }
    std::int32_t seed() const override { return seed_; }
    std::int32_t clockSeed() override { return clockSeedValue; }
    std::deque<float> numbers;
    float fallback = 0.0f;
    int reseeds = 0;
    std::vector<std::int32_t> seedsUsed; // every useSeed call in order
    std::int32_t clockSeedValue = 777;

private:
    std::int32_t seed_ = 0;
};

// Disk files that can be made to fail: the n-th whole write, every write, or the renames.
// The fault strikes inside the real whole-file write, so its clean-up runs as on a real disk;
// appending rewrites the file whole and fails the same way.
class FaultyFiles : public DiskFiles {
public:
    enum class Fault {
        Create,   // the temporary file cannot be created (a folder that became read-only)
        DiskFull, // half the first piece reaches the temporary file, then the disk is full
        Flush,    // every byte is written, closing the file fails
        Rename,   // the temporary file is complete, putting it in place fails
    };
    std::unique_ptr<WholeFileWriter> writeInPieces(const std::filesystem::path& path) override;
    int failWriteNumber = 0; // 1 = the first whole write fails, 0 = none
    bool failAll = false;
    std::filesystem::path failPath; // every whole write of this file fails
    Fault fault = Fault::DiskFull;
    int writes = 0;
    int faults = 0;                             // faults injected so far
    std::vector<std::filesystem::path> written; // every path a whole write was asked for
};

// A file tree in memory, with the disk's rules: a whole write reaches the file only at finish()
// and needs an existing folder, reading a folder gives nothing, appending creates the folders.
// Paths are compared in their lexically normal form. A copy of the object is a snapshot that
// shares the files' bytes (a write replaces them, never changes them).
class MemoryFiles : public Files {
public:
    MemoryFiles() = default;
    MemoryFiles(const MemoryFiles& other) : Files(), files_(other.files_), folders_(other.folders_) {}
    MemoryFiles& operator=(const MemoryFiles& other) {
        files_ = other.files_;
        folders_ = other.folders_;
        return *this;
    }
    std::optional<std::string> read(const std::filesystem::path& path) override;
    std::unique_ptr<WholeFileWriter> writeInPieces(const std::filesystem::path& path) override;
    std::string append(const std::filesystem::path& path, const std::string& bytes) override;
    std::string copy(const std::filesystem::path& from, const std::filesystem::path& to) override;
    bool exists(const std::filesystem::path& path) override;
    std::string createFolder(const std::filesystem::path& path) override;

    // The file's bytes, or nothing; a file written without a whole write (test set-up).
    const std::string* bytes(const std::filesystem::path& path) const;
    void put(const std::filesystem::path& path, std::string bytes);
    bool remove(const std::filesystem::path& path);
    // Files by their normal path.
    const std::map<std::string, std::shared_ptr<const std::string>>& files() const {
        return files_;
    }
    // Writers handed out and neither finished nor dropped yet.
    int openWriters() const { return *open_; }

private:
    friend class MemoryWriter;
    static std::string key(const std::filesystem::path& path);
    // Roots ("/", "C:\\") are always there.
    bool isFolder(const std::string& key) const {
        return folders_.count(key) != 0 ||
               (!key.empty() && std::filesystem::path(key).relative_path().empty());
    }
    std::string store(const std::string& key, std::string bytes);

    std::map<std::string, std::shared_ptr<const std::string>> files_;
    std::set<std::string> folders_;
    std::shared_ptr<int> open_ = std::make_shared<int>(0);
};

// All doubles together, with a Platform that refers to them.
struct TestPlatform {
    ScriptedDialogs dialogs;
    RecordingClipboard clipboard;
    RecordingProgramStarter programs;
    RecordingWindowCloser windows;
    ManualClock clock;
    ScriptedEvents events;
    ScriptedRandom random;
    FaultyFiles files;
    Platform platform{dialogs, clipboard, programs, windows, clock, events, random, files};
};

} // namespace tonfex
