// The real implementations of the platform interfaces that need no window toolkit.
#pragma once

#include "platform/platform.h"

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

class DiskFiles : public Files {
public:
    std::optional<std::string> read(const std::filesystem::path& path) override;
    std::string writeWhole(const std::filesystem::path& path, const std::string& bytes) override;
    std::string append(const std::filesystem::path& path, const std::string& bytes) override;
    std::string copy(const std::filesystem::path& from, const std::filesystem::path& to) override;
    bool exists(const std::filesystem::path& path) override;
    std::string createFolder(const std::filesystem::path& path) override;

protected:
    // The two steps of a whole-file write; tests make each of them fail. Writes `bytes` to the
    // temporary file and closes it, returning an error text or "".
    virtual std::string writeTemporary(const std::filesystem::path& temp, const std::string& bytes);
    // Puts the temporary file in the place of `path`.
    virtual std::string replaceTarget(const std::filesystem::path& temp,
                                      const std::filesystem::path& path);
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
