#include "platform/real.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <thread>

namespace fs = std::filesystem;

namespace tonfex {

std::string dateText(const LocalTime& t) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d.%02d.%04d", t.day, t.month, t.year);
    return buf;
}

std::string timeText(const LocalTime& t) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", t.hour, t.minute, t.second);
    return buf;
}

double SystemClock::monotonic() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void SystemClock::sleep(double seconds) {
    if (seconds > 0) std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

LocalTime SystemClock::now() {
    std::time_t t = std::time(nullptr);
    std::tm tm{};
#ifdef _WIN32
    localtime_s(&tm, &t);
#else
    localtime_r(&t, &tm);
#endif
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

void ClockRandom::reseed() {
    if (seeded_) return;
    auto ticks = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    std::seed_seq seq{static_cast<unsigned>(ticks), static_cast<unsigned>(ticks >> 32)};
    engine_.seed(seq);
}

float ClockRandom::next() {
    if (seeded_) return seeded_->nextFloat();
    // 24 random bits give every float in [0, 1) with a spacing of 2^-24, never 1.0.
    return static_cast<float>(engine_() >> 8) * (1.0f / 16777216.0f);
}

void ClockRandom::useSeed(std::int32_t seed) {
    seed_ = seed;
    if (seed == 0)
        seeded_.reset();
    else // the seed's two's complement bits: -5 and 4294967291 would be one seed
        seeded_.emplace(static_cast<std::uint64_t>(static_cast<std::int64_t>(seed)));
}

std::int32_t ClockRandom::clockSeed() {
    auto ticks = static_cast<std::uint64_t>(
        std::chrono::high_resolution_clock::now().time_since_epoch().count());
    // One Pcg32 step mixes the ticks, so that seeds drawn a moment apart differ in every digit.
    return static_cast<std::int32_t>(Pcg32(ticks).next32() % 2147483647u) + 1;
}

std::optional<std::string> DiskFiles::read(const fs::path& path) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes;
    auto size = fs::file_size(path, ec);
    if (!ec) bytes.reserve(static_cast<size_t>(size));
    char chunk[65536];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0)
        bytes.append(chunk, static_cast<size_t>(in.gcount()));
    if (in.bad()) return std::nullopt;
    return bytes;
}

namespace {

// The pieces of bytes already in memory.
class StringPieces : public PieceReader {
public:
    explicit StringPieces(std::string bytes) : bytes_(std::move(bytes)) {}
    size_t read(char* to, size_t size) override {
        const size_t n = std::min(size, bytes_.size() - at_);
        bytes_.copy(to, n, at_);
        at_ += n;
        return n;
    }

private:
    std::string bytes_;
    size_t at_ = 0;
};

class DiskPieces : public PieceReader {
public:
    explicit DiskPieces(const fs::path& path) : in_(path, std::ios::binary) {}
    bool opened() const { return static_cast<bool>(in_); }
    size_t read(char* to, size_t size) override {
        if (failed_ || !in_) return 0;
        in_.read(to, static_cast<std::streamsize>(size));
        failed_ = in_.bad();
        return failed_ ? 0 : static_cast<size_t>(in_.gcount());
    }
    bool failed() const override { return failed_; }

private:
    std::ifstream in_;
    bool failed_ = false;
};

} // namespace

std::unique_ptr<PieceReader> Files::readInPieces(const fs::path& path) {
    auto bytes = read(path);
    if (!bytes) return nullptr;
    return std::make_unique<StringPieces>(std::move(*bytes));
}

std::string Files::rewrite(const fs::path& path, std::string_view tail,
                           std::string (*convert)(std::string_view)) {
    std::unique_ptr<PieceReader> old;
    if (exists(path)) {
        old = readInPieces(path);
        if (!old) return "kann nicht gelesen werden";
    }
    auto writer = writeInPieces(path);
    if (old) {
        std::string piece(65536, '\0');
        for (size_t got; (got = old->read(piece.data(), piece.size())) > 0;) {
            const std::string_view bytes(piece.data(), got);
            if (convert)
                writer->write(convert(bytes));
            else
                writer->write(bytes); // no copy of the piece
        }
        if (old->failed()) return "kann nicht gelesen werden";
        old.reset(); // Windows replaces no file that is still open
    }
    writer->write(tail);
    return writer->finish();
}

std::unique_ptr<PieceReader> DiskFiles::readInPieces(const fs::path& path) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) return nullptr;
    auto pieces = std::make_unique<DiskPieces>(path);
    if (!pieces->opened()) return nullptr;
    return pieces;
}

TemporaryFileWriter::TemporaryFileWriter(fs::path path)
    : path_(std::move(path)), target_(path_) {}

TemporaryFileWriter::~TemporaryFileWriter() {
    discard();
}

void TemporaryFileWriter::discard() {
    closeHandle();
    if (!created_) return;
    created_ = false;
    std::error_code ec;
    if (!temp_.empty()) fs::remove(temp_, ec);
}

void TemporaryFileWriter::write(std::string_view bytes) {
    if (!error_.empty()) return;
    if (!created_) {
        created_ = true;
        error_ = createTemporary();
        if (!error_.empty()) return;
    }
    error_ = writeTemporary(bytes);
}

std::string TemporaryFileWriter::writeTemporary(std::string_view bytes) {
    constexpr size_t kBuffer = 1 << 16;
    if (buffer_.size() + bytes.size() > kBuffer)
        if (std::string error = flushBuffer(); !error.empty()) return error;
    if (bytes.size() >= kBuffer) {
        buffer_.assign(bytes);
        return flushBuffer();
    }
    buffer_.append(bytes);
    return "";
}

std::string TemporaryFileWriter::finish() {
    write({}); // an empty file is created here
    if (error_.empty()) error_ = closeTemporary();
    if (error_.empty()) error_ = replaceTarget();
    if (error_.empty())
        created_ = false; // the temporary file is the file now
    else
        discard();
    return error_;
}

std::string quoteWindowsArgument(const std::string& argument) {
    if (!argument.empty() && argument.find_first_of(" \t\n\v\"") == std::string::npos)
        return argument;
    std::string out = "\"";
    size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        // Backslashes count only before a quote: there each stands doubled, and the quote escaped.
        out.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        backslashes = 0;
        out += c;
    }
    out.append(2 * backslashes, '\\'); // before the closing quote
    return out + "\"";
}

std::string quotedCommandLine(const CommandLine& command) {
    const std::string& line = command.line;
    if (command.args.size() != 1 || line.rfind(command.program, 0) != 0) return line;
    const std::string& file = command.args[0];
    if (line.size() < command.program.size() + file.size() ||
        line.compare(line.size() - file.size(), file.size(), file) != 0)
        return line;
    // The blanks between program and file stay as the line has them.
    const std::string between = line.substr(
        command.program.size(), line.size() - command.program.size() - file.size());
    return quoteWindowsArgument(command.program) + between + quoteWindowsArgument(file);
}

std::unique_ptr<WholeFileWriter> DiskFiles::writeInPieces(const fs::path& path) {
    return std::make_unique<TemporaryFileWriter>(path);
}

std::string DiskFiles::append(const fs::path& path, const std::string& bytes) {
    std::error_code ec;
    if (path.has_parent_path()) fs::create_directories(path.parent_path(), ec);
    // The file is written again whole, so that the old lines stay intact when the disk fills.
    return rewrite(path, bytes);
}

std::string DiskFiles::copy(const fs::path& from, const fs::path& to) {
    auto bytes = read(from);
    if (!bytes) return "ist nicht vorhanden";
    return writeWhole(to, *bytes);
}

bool DiskFiles::exists(const fs::path& path) {
    std::error_code ec;
    return fs::exists(path, ec);
}

std::string DiskFiles::createFolder(const fs::path& path) {
    std::error_code ec;
    fs::create_directories(path, ec);
    if (fs::is_directory(path, ec)) return "";
    return "kann nicht angelegt werden";
}

fs::path normalFolder(const fs::path& dir) {
    std::error_code ec;
    fs::path whole = fs::absolute(dir, ec);
    if (ec) whole = dir;
    whole = whole.lexically_normal();
    // "/a/b/" keeps an empty last element; the root itself keeps its separator.
    if (!whole.has_filename() && whole.has_relative_path()) whole = whole.parent_path();
    return whole;
}

bool sameFolder(const fs::path& a, const fs::path& b) {
    if (normalFolder(a) == normalFolder(b)) return true;
    std::error_code ec;
    return fs::equivalent(a, b, ec) && !ec;
}

} // namespace tonfex
