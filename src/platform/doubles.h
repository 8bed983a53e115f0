// Test doubles of the platform interfaces: scripted answers, recorded calls, a settable clock.
#pragma once

#include "platform/platform.h"
#include "platform/real.h"

#include <deque>
#include <functional>

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
    void reseed() override { reseeds++; }
    float next() override {
        if (numbers.empty()) return fallback;
        float v = numbers.front();
        numbers.pop_front();
        return v;
    }
    std::deque<float> numbers;
    float fallback = 0.0f;
    int reseeds = 0;
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
