// The program's view of the operating system: small interfaces with real and test implementations.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tonfex {

// The answers to a question that also offers "Ja, alle".
enum class Answer { Yes, No, YesToAll };

// Modal message boxes.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    // Yes/No question, No being the default button; true only for Yes.
    virtual bool ask(const std::string& title, const std::string& text) = 0;
    // The same question with a third answer "Ja, alle": Yes to it and to every further question
    // of its kind that the caller would ask. Dialogs without that button ask the plain question.
    virtual Answer askAll(const std::string& title, const std::string& text) {
        return ask(title, text) ? Answer::Yes : Answer::No;
    }
    // Message with an OK button.
    virtual void tell(const std::string& title, const std::string& text) = 0;
};

// Dialogs that show each question and message themselves (a window's boxes, the terminal):
// `beforeDialog` runs before each, so that what stands behind it shows the latest state.
class BoxDialogs : public Dialogs {
public:
    bool ask(const std::string& title, const std::string& text) final {
        return asked(title, text, false) == Answer::Yes;
    }
    Answer askAll(const std::string& title, const std::string& text) final {
        return asked(title, text, true);
    }
    void tell(const std::string& title, const std::string& text) final {
        if (beforeDialog) beforeDialog();
        message(title, text);
    }
    std::function<void()> beforeDialog;

protected:
    // The question with "Ja" and "Nein" ("Ja, alle" between them when `offerAll`), "Nein"
    // being the default.
    virtual Answer question(const std::string& title, const std::string& text, bool offerAll) = 0;
    // The message with an OK button.
    virtual void message(const std::string& title, const std::string& text) = 0;

private:
    Answer asked(const std::string& title, const std::string& text, bool offerAll) {
        if (beforeDialog) beforeDialog();
        return question(title, text, offerAll);
    }
};

class Clipboard {
public:
    virtual ~Clipboard() = default;
    virtual void clear() = 0;
    virtual void setText(const std::string& text) = 0;
};

// A program to start: `line` is the Windows command line, `program` and `args` the argument
// list used where programs are started without a command-line parser.
struct CommandLine {
    std::string line;
    std::string program;
    std::vector<std::string> args;
};

class ProgramStarter {
public:
    virtual ~ProgramStarter() = default;
    // Starts without waiting; false when the program could not be started.
    virtual bool start(const CommandLine& command, bool minimized) = 0;
};

class WindowCloser {
public:
    virtual ~WindowCloser() = default;
    // Closes every top-level window whose title contains `text`, ignoring case.
    virtual void closeContaining(const std::string& text) = 0;
};

struct LocalTime {
    int year = 2000, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    // Seconds on a monotonic clock, for waits.
    virtual double monotonic() = 0;
    // Sleeps about `seconds` (the caller loops until its deadline).
    virtual void sleep(double seconds) = 0;
    virtual LocalTime now() = 0;
    // A clock whose time moves only by its waits: a wait jumps to its end in one step.
    virtual bool jumps() const { return false; }
};

// "dd.mm.yyyy" and "hh:mm:ss".
std::string dateText(const LocalTime& t);
std::string timeText(const LocalTime& t);

class Events {
public:
    virtual ~Events() = default;
    // Lets the window handle its pending events (clicks, live controls).
    virtual void process() = 0;
};

// PCG32 (O'Neill's PCG-XSH-RR, 64-bit state, 32-bit output): pure integer arithmetic, so a
// seed gives the same numbers with every compiler and standard library.
class Pcg32 {
public:
    // pcg32_srandom(seed, stream); the program's stream constant is its own.
    explicit Pcg32(std::uint64_t seed, std::uint64_t stream = kStream)
        : inc_((stream << 1u) | 1u) {
        step();
        state_ += seed;
        step();
    }
    std::uint32_t next32() { return step(); }
    // The upper 24 bits as a float: every multiple of 2^-24 in [0, 1), never 1.0.
    float nextFloat() { return static_cast<float>(next32() >> 8) * (1.0f / 16777216.0f); }

private:
    static constexpr std::uint64_t kStream = 0x546f6e666578ull; // "Tonfex"
    std::uint32_t step() {
        const std::uint64_t old = state_;
        state_ = old * 6364136223846793005ull + inc_;
        const auto xorshifted = static_cast<std::uint32_t>(((old >> 18u) ^ old) >> 27u);
        const auto rot = static_cast<std::uint32_t>(old >> 59u);
        return (xorshifted >> rot) | (xorshifted << ((32u - rot) & 31u));
    }
    std::uint64_t inc_;
    std::uint64_t state_ = 0;
};

class Random {
public:
    virtual ~Random() = default;
    // A fresh seed from the clock; while a seed is in use this does nothing.
    virtual void reseed() = 0;
    // Uniform single-precision number in [0, 1).
    virtual float next() = 0;
    // A seed other than 0: every following number comes from one Pcg32 started at it, with no
    // reseeding, so the same seed repeats the same numbers. 0: back to reseeding from the clock.
    virtual void useSeed(std::int32_t seed) = 0;
    // The seed in use, 0 when the numbers come from the clock.
    virtual std::int32_t seed() const = 0;
    // A seed drawn from the clock (ZUFALLSSTART -1): 1..2147483647.
    virtual std::int32_t clockSeed() = 0;
};

// A whole-file write whose bytes come in pieces: they go to a temporary file in the same folder
// as they come, and only finish() puts it in the place of the file. A writer dropped before
// finish() removes its temporary file, so that the old file stays whole.
class WholeFileWriter {
public:
    virtual ~WholeFileWriter() = default;
    // After an error the rest is ignored; finish() reports it.
    virtual void write(std::string_view bytes) = 0;
    // Writes `bytes` over the first bytes written (a header known only at the end); the
    // following writes go on at the end.
    virtual void rewriteStart(std::string_view bytes) = 0;
    // Returns an error text or "".
    virtual std::string finish() = 0;
};

// A file's bytes read in order, piece by piece, so that a reader keeps only what it uses.
class PieceReader {
public:
    virtual ~PieceReader() = default;
    // Up to `size` bytes into `to`; 0 at the end of the file or after a read error.
    virtual size_t read(char* to, size_t size) = 0;
    // Whether reading stopped at an error rather than at the end.
    virtual bool failed() const { return false; }
};

// Byte-level file access; text encoding and line ends are handled in core/textfile.h.
class Files {
public:
    virtual ~Files() = default;
    virtual std::optional<std::string> read(const std::filesystem::path& path) = 0;
    // The file's bytes piece by piece, or nullptr when it cannot be read. This one reads the
    // whole file first; files on disk are read as they are asked for.
    virtual std::unique_ptr<PieceReader> readInPieces(const std::filesystem::path& path);
    // Writes the whole file through a temporary file in the same folder and a rename, so
    // that the old file stays whole when anything fails. Returns an error text or "".
    std::string writeWhole(const std::filesystem::path& path, std::string_view bytes) {
        auto writer = writeInPieces(path);
        writer->write(bytes);
        return writer->finish();
    }
    // The same for a file whose bytes come in pieces; every whole write starts here.
    virtual std::unique_ptr<WholeFileWriter> writeInPieces(const std::filesystem::path& path) = 0;
    virtual std::string append(const std::filesystem::path& path, const std::string& bytes) = 0;
    // Writes the file again whole: its old bytes piece by piece, each through `convert` when
    // one is given, then `tail`. A file that is not there counts as empty.
    std::string rewrite(const std::filesystem::path& path, std::string_view tail,
                        std::string (*convert)(std::string_view) = nullptr);
    virtual std::string copy(const std::filesystem::path& from,
                             const std::filesystem::path& to) = 0;
    virtual bool exists(const std::filesystem::path& path) = 0;
    virtual std::string createFolder(const std::filesystem::path& path) = 0;
};

// Every interface the program's commands use, passed by reference.
struct Platform {
    Dialogs& dialogs;
    Clipboard& clipboard;
    ProgramStarter& programs;
    WindowCloser& windows;
    Clock& clock;
    Events& events;
    Random& random;
    Files& files;
};

// The decimal separator of the user's regional settings.
char systemDecimalSeparator();
// The working folder when none is named: C:\Arbeit\ on Windows, else $TONFEX_ARBEIT or ~/Arbeit/.
std::filesystem::path defaultWorkFolder();
// The folder as one spelling: absolute, without "." and ".." steps, doubled or trailing
// separators. Links stay as named, so that messages show the folder the composer gave.
std::filesystem::path normalFolder(const std::filesystem::path& dir);
// Whether two spellings name the same folder: equal once normal, or the same folder on disk
// (reached through a link, or differing in case on Windows).
bool sameFolder(const std::filesystem::path& a, const std::filesystem::path& b);
// The folder that holds the program itself (for genmidi.txt).
std::filesystem::path programFolder();

} // namespace tonfex

namespace tonfex {
// Whether standard input is a terminal a person can answer at.
bool stdinIsTerminal();
bool stdoutIsTerminal();
// Makes the console show UTF-8 output (Windows); nothing elsewhere.
void prepareConsole();
// From now on Ctrl-C and SIGTERM (on Windows also Ctrl-Break and closing the console) ask the
// running command to end instead of killing the process; a second Ctrl-C kills it.
void watchInterrupts();
// Whether `path` is the file, pipe or device the standard output goes to.
bool namesStandardOutput(const std::filesystem::path& path);
// Whether such a request came.
bool interruptRequested();
// The program has ended what it was doing after a request: a closing console may go.
void interruptHandled();
// Whether a window can be shown: an X display that answers, Wayland or a Qt platform named in
// QT_QPA_PLATFORM; always on Windows.
bool windowDisplayAvailable();
} // namespace tonfex
