#include "platform/real.h"

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
    auto ticks = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    std::seed_seq seq{static_cast<unsigned>(ticks), static_cast<unsigned>(ticks >> 32)};
    engine_.seed(seq);
}

float ClockRandom::next() {
    // 24 random bits give every float in [0, 1) with a spacing of 2^-24, never 1.0.
    return static_cast<float>(engine_() >> 8) * (1.0f / 16777216.0f);
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

std::string DiskFiles::writeTemporary(const fs::path& temp, const std::string& bytes) {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) return "kann nicht geschrieben werden";
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    // Closing flushes the last buffer; a full disk may show only then.
    out.close();
    return out ? "" : "Schreibfehler (Datenträger voll?)";
}

std::string DiskFiles::replaceTarget(const fs::path& temp, const fs::path& path) {
    return replaceFile(temp, path);
}

std::string DiskFiles::writeWhole(const fs::path& path, const std::string& bytes) {
    fs::path temp = path;
    temp += ".tonfex-neu";
    std::string error = writeTemporary(temp, bytes);
    if (error.empty()) error = replaceTarget(temp, path);
    if (!error.empty()) {
        std::error_code ec;
        fs::remove(temp, ec);
    }
    return error;
}

std::string DiskFiles::append(const fs::path& path, const std::string& bytes) {
    std::error_code ec;
    if (path.has_parent_path()) fs::create_directories(path.parent_path(), ec);
    // The logs are small: rewriting them whole keeps the old lines intact when the disk fills.
    std::string whole;
    if (exists(path)) {
        auto old = read(path);
        if (!old) return "kann nicht gelesen werden";
        whole = std::move(*old);
    }
    whole += bytes;
    return writeWhole(path, whole);
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

} // namespace tonfex
