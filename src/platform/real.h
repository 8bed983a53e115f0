// The real implementations of the platform interfaces that need no window toolkit.
#pragma once

#include "platform/platform.h"

#include <cstdint>
#include <fstream>
#include <optional>
#include <random>

namespace tonfex {

class SystemClock : public Clock {
public:
    double monotonic() override;
    void sleep(double seconds) override;
    LocalTime now() override;
};

class ClockRandom : public Random {
public:
    void reseed() override;
    float next() override;
    void useSeed(std::int32_t seed) override;
    std::int32_t seed() const override { return seed_; }
    std::int32_t clockSeed() override;

private:
    std::mt19937 engine_{12345u};
    std::optional<Pcg32> seeded_;
    std::int32_t seed_ = 0;
};

// The whole-file write on disk. A regular file, or one that does not exist yet, is written
// to a temporary file "<name>.tonfex-neu-XXXXXX" beside it, created exclusively under a name
// no one can predict, with the file's permissions, flushed to the disk and renamed over it;
// a link is followed and the file it names is replaced in its own folder. A device, pipe or
// socket that exists is written into directly. Temporary files that a killed run left in the
// folder are removed.
class TemporaryFileWriter : public WholeFileWriter {
public:
    explicit TemporaryFileWriter(std::filesystem::path path);
    ~TemporaryFileWriter() override;
    TemporaryFileWriter(const TemporaryFileWriter&) = delete;
    TemporaryFileWriter& operator=(const TemporaryFileWriter&) = delete;
    void write(std::string_view bytes) override;
    void rewriteStart(std::string_view bytes) override;
    std::string finish() override;

    // The name part that marks the temporary files.
    static constexpr const char* kMarker = ".tonfex-neu";

protected:
    // The steps, each returning an error text or ""; tests make each of them fail.
    virtual std::string createTemporary();
    virtual std::string writeTemporary(std::string_view bytes);
    // Writes what is buffered, flushes it to the disk and closes; a full disk may show only here.
    virtual std::string closeTemporary();
    virtual std::string replaceTarget();

private:
    std::string flushBuffer();
    void closeHandle();
    void discard(); // closes and removes the temporary file
    void removeLeftovers();

    std::filesystem::path path_;   // as named
    std::filesystem::path target_; // the file that is replaced: where a link leads
    std::filesystem::path temp_;   // empty when the target is written into directly
    std::intptr_t handle_ = -1;    // the open file: a descriptor, or a HANDLE on Windows
    std::string buffer_;
    std::string error_;
    bool created_ = false; // the temporary file was opened and is still ours to remove
};

class DiskFiles : public Files {
public:
    std::optional<std::string> read(const std::filesystem::path& path) override;
    std::unique_ptr<PieceReader> readInPieces(const std::filesystem::path& path) override;
    std::unique_ptr<WholeFileWriter> writeInPieces(const std::filesystem::path& path) override;
    std::string append(const std::filesystem::path& path, const std::string& bytes) override;
    std::string copy(const std::filesystem::path& from, const std::filesystem::path& to) override;
    bool exists(const std::filesystem::path& path) override;
    std::string createFolder(const std::filesystem::path& path) override;
};

// Starts programs: posix_spawn with an argument list, or CreateProcessW with the command line.
class SystemProgramStarter : public ProgramStarter {
public:
    bool start(const CommandLine& command, bool minimized) override;
};

// Closes windows by title: EnumWindows and WM_CLOSE on Windows.
class SystemWindowCloser : public WindowCloser {
public:
    void closeContaining(const std::string& text) override;
};

class NoEvents : public Events {
public:
    void process() override {}
};

// Replaces `target` by `source` in one step (the rename of a whole-file write).
std::string replaceFile(const std::filesystem::path& source, const std::filesystem::path& target);

// One argument of a Windows command line as the C runtime splits it again: in quotes when it
// holds a blank, a tab or a quote (or is empty), with backslashes before a quote doubled.
std::string quoteWindowsArgument(const std::string& argument);
// The command's line with its program and file quoted where they need it; the line as it is
// when nothing needs quoting (or its parts cannot be found in it).
std::string quotedCommandLine(const CommandLine& command);

} // namespace tonfex
