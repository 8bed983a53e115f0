// Helpers of the notation tests: a working folder with settings and a melody, MusicXML
// validation with xmllint, and MuseScore 3 as an outside reader and writer of MusicXML.
#pragma once

#include "core/textfile.h"
#include "melody/melody.h"
#include "notation/capella.h"
#include "platform/doubles.h"
#include "support.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace tonfex::testkit {

inline std::string shellQuote(const std::filesystem::path& p) {
    return "'" + p.string() + "'";
}

// Runs a shell command with its output going to `log`; returns the command's exit status.
inline int runLogged(const std::string& command, const std::filesystem::path& log) {
    return std::system((command + " >" + shellQuote(log) + " 2>&1").c_str());
}

inline void museScore(const std::filesystem::path& in, const std::filesystem::path& out);

// Set when a score was checked without the MusicXML schema (a clone without ../shared beside
// it); the test then reports itself skipped.
inline bool& schemaMissing() {
    static bool missing = false;
    return missing;
}
#define TONFEX_REPORT_SCHEMA_SKIP()                                                                \
    if (::tonfex::testkit::schemaMissing()) {                                                      \
        ::tonfex::testkit::schemaMissing() = false;                                                \
        GTEST_SKIP() << "MusicXML-Schema fehlt (" TONFEX_SHARED_DIR "/musicxml): die Partitur "    \
                        "wurde nur mit dem Import von MuseScore geprüft";                          \
    }

// "" when `file` is valid against the MusicXML schema and DTD, else xmllint's complaints.
// Without the schema MuseScore's import, which validates MusicXML itself, must read it.
inline std::string musicXmlProblems(const std::filesystem::path& file) {
#ifdef _WIN32
    (void)file; // Wine has no xmllint: the native suite validates the same scores.
    return "";
#endif
    const std::filesystem::path shared = TONFEX_SHARED_DIR "/musicxml";
    const auto log = file.string() + ".xmllint";
    std::string problems;
    if (!std::filesystem::exists(shared / "musicxml.xsd")) {
        schemaMissing() = true;
        const auto read = file.string() + ".mscx";
        museScore(file, read);
        std::error_code ec;
        if (std::filesystem::file_size(read, ec) == 0 || ec)
            problems = "MuseScore liest die Datei nicht: " + readBytes(read + ".log");
        return problems;
    }
    if (runLogged("xmllint --noout --nonet --schema " + shellQuote(shared / "musicxml.xsd") + " " +
                      shellQuote(file),
                  log) != 0)
        problems += readBytes(log);
    if (runLogged("XML_CATALOG_FILES=" + shellQuote(shared / "catalog.xml") +
                      " xmllint --noout --nonet --valid " + shellQuote(file),
                  log) != 0)
        problems += readBytes(log);
    return problems;
}

// Converts `in` with MuseScore 3 to the format that `out`'s extension names.
inline void museScore(const std::filesystem::path& in, const std::filesystem::path& out) {
    const auto home = out.parent_path() / "musescore-home";
    std::filesystem::create_directories(home);
    std::filesystem::permissions(home, std::filesystem::perms::owner_all);
    runLogged("QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=" + shellQuote(home) + " HOME=" +
                  shellQuote(home) + " mscore3 -o " + shellQuote(out) + " " + shellQuote(in),
              out.string() + ".log");
}

// An import (CapellaLesen or MidiLesen) of `in` to the pattern file Tonfex-Cap-PT.txt on a
// temporary folder; returns the pattern file's bytes.
struct ImportTest : ::testing::Test {
    TempFolder tmp;
    TestPlatform tp;
    ListBox zuordnung;
    std::int16_t currentPitch = 0;
    Pattern buffer;
    bool keineFrage = true;

    template <class Import> std::string import(Import read, const std::filesystem::path& in) {
        ImportContext ctx{tp.files, tp.dialogs, zuordnung, '.', keineFrage, currentPitch, buffer};
        read(in, tmp / "Tonfex-Cap-PT.txt", ctx);
        return readBytes(tmp / "Tonfex-Cap-PT.txt");
    }
};

} // namespace tonfex::testkit
