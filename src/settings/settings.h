// The settings file's line table, its keyword lookup and the typed settings record.
#pragma once

#include "platform/platform.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tonfex {

// Room for the file's first 300 lines, at indices 1..300.
struct IniTable {
    static constexpr int kMaxLines = 300;
    static constexpr size_t kMaxLineBytes = 4096; // the rest of a longer line is not kept
    std::array<std::string, kMaxLines + 1> lines;
    int count = 0;
    // The line numbers grouped by their first byte, in file order within each group, so that a
    // keyword is compared only with the lines that begin with its letter: `byFirst` holds the
    // numbers of the lines beginning with byte b at [firstStart[b], firstStart[b + 1]).
    std::array<std::uint16_t, kMaxLines> byFirst{};
    std::array<std::uint16_t, 257> firstStart{};
};

// Fills the table from a file's lines (the first 300 count).
void fillIniTable(IniTable& table, const std::vector<std::string>& fileLines);
// The lines of the settings file that the table takes: the first 300, of each at most 4096
// bytes; the rest of the file is not read. Nothing when the file cannot be read.
std::optional<std::vector<std::string>> readIniLines(Files& files,
                                                     const std::filesystem::path& path);
// Reads those lines straight into the table, each into the string the former reading left
// there. False when the file cannot be read; the table then holds what was read before the
// failure, indexed.
bool readIniTable(Files& files, const std::filesystem::path& path, IniTable& table);

// The value text of the first line that begins with `keyword` (case-sensitive prefix match),
// with every blank removed; "" when no line carries the keyword.
std::string IniWert(const IniTable& table, std::string_view keyword);

// One field per keyword, typed as the program uses it.
struct Settings {
    char decimal = '.'; // the locale's separator, used for the number texts below

    std::string SOUND = "0";              // Snd, number text
    std::string TONFINDUNGSMETHODE = "1"; // TFm, number text
    std::string TAKT = "0";               // TKT, number text
    float TEMPO = 1;
    std::int16_t TRANSPONI = 0, TONDAUERDIREKT = 0, ANZAHL = 10, STARTTON = 1;
    std::int32_t NOTENWERT = 8, LAUTVAR = 127, TIEFTON = 1, HOCHTON = 127;
    std::int16_t INTERVALL = 12, KLEINERGROSSER = 1, SAMPLELOOPS = 0;
    double SAMPLETRANSU = 0, SAMPLETRANSO = 0;
    std::int16_t WIEVIELELOOPS = 1, WIEDERHOLUNGSDISTANZ = 0, UNTERGRENZE = 0, OBERGRENZE = 0;
    std::int16_t KURZTON = 0, LANGTON = 0;
    bool VORRUCK01 = false, VORRUCK02 = false;
    std::int16_t SAMPLENUMMER = 0, ORIGINALSAMPLEABSTAND = 0, ORIGINALSAMPLEDAUER = 0;
    double ZWISCHENRAUM = 0, UBERLAPPUNG = 0;
    std::int16_t KEYTRANSPOSE = 0, SAMPLETUNING = 0;
    double TONHOHENANDERUNGSFAKTOR = 0, SAMPLEOFFSETTUNE = 0;
    std::int16_t SAMPLESTARTPUNKTMODUS = 0;
    double SAMPLEVERSCHIEBUNGSFAKTOR = 0, SAMPLEOFFSETSTART = 0;
    std::int32_t AUTOPAN = 0, TRACKZAHL = 8;
    double SAMPLEEINSCHWING = 0, SAMPLEAUSSCHWING = 0;
    std::int16_t VBSCHLUSSEL = 0, TRANSPOSIWERT = 0, KURZESTWERT = 0, NOTENPROZEILE = 0;
    double VERZOGERUNG = 0;
    // Optional keywords, read when a line carries them; the template has no line for them.
    std::int32_t ZUFALLSSTART = 0;    // Zst: 0 the clock's seeds, -1 a seed drawn per command
    std::int16_t MARKOVORDNUNG = 1;   // Mko: Regel 07's order, 1 or 2
    // LAUT keeps the type it was stored with: the Integer 80 for 0, else a Double.
    double LAUT = 80;
    bool lautIsInteger = true;

    std::int16_t toneCount = 10; // ANZAHL after its fallback; rules and the test mode change it
    double Samplepause = 0;
    bool NurErstesSample = false;

    double tfm() const;   // numeric value of TONFINDUNGSMETHODE
    double sound() const; // numeric value of SOUND
    bool sampleMode() const;
};

// Steps 2 to 4 and 7 of reading the settings: every keyword converted with its fallback,
// the tone count, `Samplepause` and the forcing by TFm. `gapFactor` is the window's 0.001.
Settings convertSettings(const IniTable& table, char decimal, double gapFactor = 0.001);

// convertSettings with its last result kept: every command reads the settings file anew, but
// converts it only when its lines, the separator or the gap factor changed since the last one.
class SettingsConverter {
public:
    const Settings& operator()(const IniTable& table, char decimal, double gapFactor);

private:
    bool valid_ = false;
    std::vector<std::string> lines_; // the table's lines 1..count of the last conversion
    char decimal_ = '.';
    double gapFactor_ = 0;
    Settings settings_;
};

// Every keyword the settings template names, with its abbreviation, in the order they are read.
std::vector<std::pair<std::string, std::string>> settingsKeywords();
// The optional keywords with their abbreviations: read like the others, absent from the template.
std::vector<std::pair<std::string, std::string>> optionalKeywords();

} // namespace tonfex
