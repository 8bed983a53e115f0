// Helpers shared by the test suites: a temporary working folder and file access.
#pragma once

#include "core/workfolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace tonfex::testkit {

using Lines = std::vector<std::string>;

// A fresh folder under the system's temporary folder, removed at the end of the test.
class TempFolder {
public:
    TempFolder() {
        std::random_device rd;
        dir_ = std::filesystem::temp_directory_path() /
               ("tonfex-test-" + std::to_string(rd()) + std::to_string(rd()));
        // The Windows test run (a Wine prefix of its own) names the program's real working
        // folder here; the first folder a test opens is then "C:\Arbeit\" itself.
        if (const char* arbeit = std::getenv("TONFEX_TEST_ARBEIT");
            arbeit && *arbeit && liveFolders() == 0) {
            dir_ = std::filesystem::path(arbeit).make_preferred();
            std::error_code ec;
            std::filesystem::remove_all(dir_, ec);
        }
        ++liveFolders();
        std::filesystem::create_directories(dir_);
    }
    ~TempFolder() {
        --liveFolders();
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& dir() const { return dir_; }
    WorkFolder folder() const { return WorkFolder{dir_}; }
    std::filesystem::path operator/(const std::string& name) const { return dir_ / name; }

private:
    static int& liveFolders() {
        static int count = 0;
        return count;
    }
    std::filesystem::path dir_;
};

inline std::string readBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Whether a whole-file write left a temporary file in `dir`.
inline bool temporaryFileIn(const std::filesystem::path& dir) {
    for (const auto& e : std::filesystem::directory_iterator(dir))
        if (e.path().filename().string().find(".tonfex-neu") != std::string::npos) return true;
    return false;
}

// Every plain file of `dir` by name, with its bytes.
inline std::map<std::string, std::string> filesIn(const std::filesystem::path& dir) {
    std::map<std::string, std::string> all;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        if (e.is_regular_file()) all[e.path().filename().string()] = readBytes(e.path());
    return all;
}

inline void writeBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

using KeyValues = std::vector<std::pair<std::string, std::string>>;

// Settings lines with each keyword's line replaced by "KEYWORD value   (x)"; a keyword without
// a line is put first.
inline std::vector<std::string> withValues(std::vector<std::string> lines,
                                           const KeyValues& values) {
    for (const auto& [key, value] : values) {
        bool found = false;
        for (auto& line : lines)
            if (line.rfind(key + " ", 0) == 0) {
                line = key + " " + value + "   (x)";
                found = true;
            }
        if (!found) lines.insert(lines.begin(), key + " " + value);
    }
    return lines;
}

// "KEYWORD value, KEYWORD value" as keyword-value pairs.
inline KeyValues keyValues(const std::string& text) {
    KeyValues out;
    std::istringstream in(text);
    for (std::string item; std::getline(in, item, ',');) {
        std::istringstream words(item);
        std::string key, value;
        words >> key >> value;
        if (!key.empty()) out.emplace_back(key, value);
    }
    return out;
}

// Lines as one text, each followed by "\n", for comparison with a file of expected lines.
inline std::string joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines)
        text += line + "\n";
    return text;
}

// A number as a short text (six significant digits), for rows compared as texts.
inline std::string shortest(double value) {
    std::ostringstream out;
    out << value;
    return out.str();
}

// f applied to each input in turn, for table-driven cases compared as one list.
template <class T, class F> auto mapped(std::initializer_list<T> inputs, F f) {
    std::vector<std::decay_t<decltype(f(*inputs.begin()))>> out;
    for (const auto& input : inputs)
        out.push_back(f(input));
    return out;
}

// Whether `text` holds `part`; a failure shows the whole text.
inline ::testing::AssertionResult has(const std::string& text, const std::string& part) {
    if (text.find(part) != std::string::npos) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "\"" << part << "\" not in:\n" << text;
}

// How often `part` occurs in `text`.
inline size_t occurrences(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

// The texts of the message boxes a dialogs double recorded, in order.
template <class Dialogs> std::vector<std::string> texts(const Dialogs& dialogs) {
    std::vector<std::string> out;
    for (const auto& record : dialogs.records)
        out.push_back(record.text);
    return out;
}

} // namespace tonfex::testkit
