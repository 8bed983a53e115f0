// Helpers shared by the test suites: a temporary working folder and file access.
#pragma once

#include "core/workfolder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace tonfex::testkit {

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

inline void writeBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

} // namespace tonfex::testkit
