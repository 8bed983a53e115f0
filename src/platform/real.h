// The real implementations of the platform interfaces that need no window toolkit.
#pragma once

#include "platform/platform.h"

#include <fstream>
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

private:
    std::mt19937 engine_{12345u};
};

// The whole-file write on disk: "<name>.tonfex-neu" beside the file, then a rename.
class TemporaryFileWriter : public WholeFileWriter {
public:
    explicit TemporaryFileWriter(std::filesystem::path path);
    ~TemporaryFileWriter() override;
    void write(std::string_view bytes) override;
    void rewriteStart(std::string_view bytes) override;
    std::string finish() override;

protected:
    // The steps, each returning an error text or ""; tests make each of them fail.
    virtual std::string createTemporary();
    virtual std::string writeTemporary(std::string_view bytes);
    // Closing flushes the last buffer; a full disk may show only then.
    virtual std::string closeTemporary();
    virtual std::string replaceTarget();

private:
    void discard(); // closes and removes the temporary file

    std::filesystem::path path_, temp_;
    std::ofstream out_;
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

} // namespace tonfex
