// The working folder and the fixed names of the files in it.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace tonfex {

namespace names {
inline constexpr std::string_view ini = "Tonfex.ini";
inline constexpr std::string_view melody = "Tonfex.txt";
inline constexpr std::string_view project = "Tonfex.rpp";
inline constexpr std::string_view capella = "Tonfex.cap";
inline constexpr std::string_view durations = "Tonfex-DTC.txt";
inline constexpr std::string_view proginfo = "Tonfex-Proginfo.txt";
inline constexpr std::string_view statistics = "Tonfex-Test.txt";
inline constexpr std::string_view patternLog = "Tonfex-Test2.txt";
inline constexpr std::string_view sampleList = "Tonfex-HC.txt";
inline constexpr std::string_view sampleListing = "Tonfex-HCR.txt";
inline constexpr std::string_view sampleProject = "Tonfex-HCR.rpp";
inline constexpr std::string_view pattern01 = "Tonfex-Cap-PT.txt";
inline constexpr std::string_view pattern02 = "Tonfex-Cap-02.txt";
inline constexpr std::string_view score = "Tonfex-Cap.xml";
inline constexpr std::string_view export01 = "Tonfex-01.xml";
inline constexpr std::string_view export02 = "Tonfex-02.xml";
inline constexpr std::string_view midiImport01 = "Tonfex-01.mid";
inline constexpr std::string_view midiImport02 = "Tonfex-02.mid";
inline constexpr std::string_view capella01 = "Tonfex-01.cap";
inline constexpr std::string_view capella02 = "Tonfex-02.cap";
inline constexpr std::string_view projectHead01 = "Tonfex-RPP-01";
inline constexpr std::string_view projectHead02 = "Tonfex-RPP-02";
inline constexpr std::string_view presetLog = "Tonfex-Doku.txt";
inline constexpr std::string_view parking = "HHHHH.rpp";
inline constexpr std::string_view midiFile = "Tonfex.mid";

// Whether a new working folder starts with a file of this name (the settings file, the
// duration list, the patterns and their exports, the sample collection's texts, ...).
bool isDefault(std::string_view fileName);
} // namespace names

// The sentence after the message for a missing default file: the verb that writes it again.
inline constexpr std::string_view kDefaultsHint =
    "„tonfex vorgaben“ schreibt die fehlenden Vorgaben.";
// "TEXT „tonfex vorgaben“ schreibt die fehlenden Vorgaben."
std::string withDefaultsHint(const std::string& text);

// UTF-8 text and paths, the same on every system.
std::filesystem::path pathFromUtf8(std::string_view text);
std::string utf8FromPath(const std::filesystem::path& path);

struct WorkFolder {
    std::filesystem::path dir;

    std::filesystem::path path(std::string_view name) const { return dir / pathFromUtf8(name); }
    // The path as the program's texts show it ("C:\Arbeit\Tonfex.ini" on Windows).
    std::string text(std::string_view name) const { return utf8FromPath(path(name)); }
};

// The folder the composer named (UTF-8, may be relative) or else the default one, made
// absolute and normal once, so that every command sees one spelling of it.
WorkFolder workFolderNamed(std::string_view typed);

} // namespace tonfex
