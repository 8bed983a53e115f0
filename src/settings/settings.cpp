#include "settings/settings.h"

#include "core/numbers.h"
#include "core/textfile.h"

#include <algorithm>
#include <optional>
#include <type_traits>
#include <variant>

namespace tonfex {

namespace {
// Empties the lines beyond the count and indexes the rest by their first byte.
void indexIniTable(IniTable& table) {
    for (int i = table.count + 1; i <= IniTable::kMaxLines; ++i)
        table.lines[static_cast<size_t>(i)].clear();
    // Counting sort of the non-empty lines by their first byte; it keeps the file order.
    std::array<std::uint16_t, 257> next{};
    for (int i = 1; i <= table.count; ++i)
        if (const std::string& line = table.lines[static_cast<size_t>(i)]; !line.empty())
            ++next[static_cast<unsigned char>(line[0]) + 1u];
    for (size_t b = 1; b < next.size(); ++b)
        next[b] = static_cast<std::uint16_t>(next[b] + next[b - 1]);
    table.firstStart = next;
    for (int i = 1; i <= table.count; ++i)
        if (const std::string& line = table.lines[static_cast<size_t>(i)]; !line.empty())
            table.byFirst[next[static_cast<unsigned char>(line[0])]++] =
                static_cast<std::uint16_t>(i);
}
} // namespace

void fillIniTable(IniTable& table, const std::vector<std::string>& fileLines) {
    table.count = static_cast<int>(std::min<size_t>(fileLines.size(), IniTable::kMaxLines));
    for (int i = 1; i <= table.count; ++i)
        table.lines[static_cast<size_t>(i)] = fileLines[static_cast<size_t>(i - 1)];
    indexIniTable(table);
}

bool readIniTable(Files& files, const std::filesystem::path& path, IniTable& table) {
    LineReader reader(files, path, IniTable::kMaxLineBytes);
    if (!reader.opened()) return false;
    table.count = 0;
    while (table.count < IniTable::kMaxLines &&
           reader.next(table.lines[static_cast<size_t>(table.count) + 1]))
        ++table.count;
    indexIniTable(table);
    return !reader.failed();
}

std::optional<std::vector<std::string>> readIniLines(Files& files,
                                                     const std::filesystem::path& path) {
    auto read = readFirstLines(files, path, IniTable::kMaxLines, IniTable::kMaxLineBytes);
    if (!read) return std::nullopt;
    return std::move(read->lines);
}

std::string IniWert(const IniTable& table, std::string_view keyword) {
    auto valueOf = [&](const std::string& line) {
        std::string value;
        for (size_t k = keyword.size(); k < line.size(); ++k)
            if (line[k] != ' ') value += line[k];
        return value;
    };
    // An empty keyword is a prefix of every line, the first one included.
    if (keyword.empty()) return table.count > 0 ? valueOf(table.lines[1]) : "";
    const auto first = static_cast<unsigned char>(keyword[0]);
    for (size_t k = table.firstStart[first]; k < table.firstStart[first + 1u]; ++k) {
        const std::string& line = table.lines[table.byFirst[k]];
        if (line.compare(0, keyword.size(), keyword) == 0) return valueOf(line);
    }
    return "";
}

double Settings::tfm() const {
    return parseLocale(TONFINDUNGSMETHODE, decimal);
}
double Settings::sound() const {
    return parseLocale(SOUND, decimal);
}
bool Settings::sampleMode() const {
    double s = sound();
    return s == 2 || s == 3 || s == 4;
}

namespace {

// What `Initial` stores instead of a missing or rejected value.
enum class Fallback {
    None,
    NotAbove0, // a value not above 0 gives `fallback`
    Zero,      // 0 gives `fallback`
    Flag,      // a value above 0 gives 1, else 0
};

using Member = std::variant<std::string Settings::*, float Settings::*, std::int16_t Settings::*,
                            std::int32_t Settings::*, double Settings::*, bool Settings::*>;

struct KeywordRow {
    const char* keyword;
    const char* abbreviation; // as the template's line names it in parentheses; "" for none
    Member member;            // a number text for std::string, Boolean: true when not 0
    Fallback fallback = Fallback::None;
    double fallbackValue = 0;
    double highest = 0; // with NotAbove0: a value above this is rejected too (0: no limit)
    std::optional<double> inTestMode = std::nullopt; // forced in test mode (TFm 0.1)
    bool optional = false; // no line in the template; a file without it gets the fallback
};

using S = Settings;
using F = Fallback;

// The keywords in the order `Initial` reads them; STARTTON's fallback is TIEFTON, read before.
const std::vector<KeywordRow>& keywordTable() {
    static const std::vector<KeywordRow> rows = {
        {"SOUND", "Snd", &S::SOUND},
        {"ANZAHL", "Anz", &S::ANZAHL, F::NotAbove0, 10},
        {"TONFINDUNGSMETHODE", "TFm", &S::TONFINDUNGSMETHODE, F::Zero, 1},
        {"TIEFTON", "Ttn", &S::TIEFTON, F::NotAbove0, 1},
        {"HOCHTON", "Htn", &S::HOCHTON, F::NotAbove0, 127},
        {"STARTTON", "Sto", &S::STARTTON},
        {"AUTOPAN", "Atp", &S::AUTOPAN, F::NotAbove0, 0},
        {"INTERVALL", "Iva", &S::INTERVALL, F::NotAbove0, 12},
        {"KLEINERGROSSER", "Kgl", &S::KLEINERGROSSER, F::NotAbove0, 1},
        {"TONDAUERDIREKT", "Tdd", &S::TONDAUERDIREKT, F::Flag, 0, 0, 1},
        {"NOTENWERT", "Tda", &S::NOTENWERT, F::NotAbove0, 8},
        {"LAUTVAR", "Lva", &S::LAUTVAR, F::NotAbove0, 127},
        {"SAMPLETUNING", "Stn", &S::SAMPLETUNING, F::None, 0, 0, 0},
        {"SAMPLESTARTPUNKTMODUS", "Stp", &S::SAMPLESTARTPUNKTMODUS},
        {"SAMPLEVERSCHIEBUNGSFAKTOR", "Stf", &S::SAMPLEVERSCHIEBUNGSFAKTOR},
        {"TEMPO", "Vsl", &S::TEMPO, F::Zero, 1, 0, 1},
        {"LAUT", "", &S::LAUT, F::Zero, 80},
        {"SAMPLENUMMER", "Snn", &S::SAMPLENUMMER},
        {"ZWISCHENRAUM", "Zwv", &S::ZWISCHENRAUM},
        {"ÜBERLAPPUNG", "Ubl", &S::UBERLAPPUNG},
        {"TRACKZAHL", "Trz", &S::TRACKZAHL, F::NotAbove0, 8, 8},
        {"ORIGINALSAMPLEABSTAND", "Oga", &S::ORIGINALSAMPLEABSTAND, F::None, 0, 0, 1},
        {"ORIGINALSAMPLEDAUER", "Ogs", &S::ORIGINALSAMPLEDAUER},
        {"SAMPLEOFFSETTUNE", "HTo", &S::SAMPLEOFFSETTUNE},
        {"TONHÖHENÄNDERUNGSFAKTOR", "THf", &S::TONHOHENANDERUNGSFAKTOR},
        {"TRANSPONI", "Trs", &S::TRANSPONI},
        {"WIEVIELELOOPS", "LOP", &S::WIEVIELELOOPS, F::Zero, 1},
        {"WIEDERHOLUNGSDISTANZ", "Whd", &S::WIEDERHOLUNGSDISTANZ},
        {"UNTERGRENZE", "UGr", &S::UNTERGRENZE},
        {"OBERGRENZE", "OGr", &S::OBERGRENZE},
        {"VERZOGERUNG", "Vzg", &S::VERZOGERUNG},
        {"KURZTON", "KTn", &S::KURZTON},
        {"LANGTON", "LTn", &S::LANGTON},
        {"VORRUCK01", "VR1", &S::VORRUCK01},
        {"VORRUCK02", "VR2", &S::VORRUCK02},
        {"TAKT", "TKT", &S::TAKT},
        {"VBSCHLUSSEL", "VBS", &S::VBSCHLUSSEL},
        {"TRANSPOSIWERT", "TRN", &S::TRANSPOSIWERT},
        {"KURZESTWERT", "KZW", &S::KURZESTWERT},
        {"NOTENPROZEILE", "NPZ", &S::NOTENPROZEILE},
        {"KEYTRANSPOSE", "KTP", &S::KEYTRANSPOSE},
        {"SAMPLEEINSCHWING", "Sfi", &S::SAMPLEEINSCHWING},
        {"SAMPLEAUSSCHWING", "Sfo", &S::SAMPLEAUSSCHWING},
        {"SAMPLELOOPS", "SPL", &S::SAMPLELOOPS},
        {"SAMPLETRANSU", "SAU", &S::SAMPLETRANSU},
        {"SAMPLETRANSO", "SAO", &S::SAMPLETRANSO},
        {"SAMPLEOFFSETSTART", "SOT", &S::SAMPLEOFFSETSTART, F::None, 0, 0, 0},
        {"ZUFALLSSTART", "Zst", &S::ZUFALLSSTART, F::None, 0, 0, std::nullopt, true},
        {"MARKOVORDNUNG", "Mko", &S::MARKOVORDNUNG, F::NotAbove0, 1, 2, std::nullopt, true},
    };
    return rows;
}

// The value after the row's fallback; `x` is the value as the field's type holds it.
double withFallback(const KeywordRow& row, double x) {
    switch (row.fallback) {
    case F::None:
        return x;
    case F::NotAbove0:
        return x <= 0 || (row.highest > 0 && x > row.highest) ? row.fallbackValue : x;
    case F::Zero:
        return x == 0 ? row.fallbackValue : x;
    case F::Flag:
        return x > 0 ? 1 : 0;
    }
    return x;
}

// Stores `v` (already in the field's range) into the row's field.
void store(Settings& s, const KeywordRow& row, double v) {
    std::visit(
        [&](auto member) {
            using T = std::remove_reference_t<decltype(s.*member)>;
            if constexpr (std::is_same_v<T, std::string>)
                s.*member = plainText(v, s.decimal);
            else if constexpr (std::is_same_v<T, bool>)
                s.*member = v != 0;
            else
                s.*member = static_cast<T>(v);
        },
        row.member);
}

// The value converted to the field's type (rounded for integers, to single precision for
// Single), as a double; number texts and Booleans keep the value.
double asFieldType(const Member& member, double v) {
    return std::visit(
        [&](auto m) -> double {
            using T = std::remove_reference_t<decltype(std::declval<Settings&>().*m)>;
            if constexpr (std::is_same_v<T, std::int16_t>)
                return toInt16(v);
            else if constexpr (std::is_same_v<T, std::int32_t>)
                return toInt32(v);
            else if constexpr (std::is_same_v<T, float>)
                return toSingle(v);
            else
                return v;
        },
        member);
}

} // namespace

namespace {
std::vector<std::pair<std::string, std::string>> keywordsWhere(bool optional) {
    std::vector<std::pair<std::string, std::string>> list;
    for (const KeywordRow& row : keywordTable())
        if (row.optional == optional) list.emplace_back(row.keyword, row.abbreviation);
    return list;
}
} // namespace

std::vector<std::pair<std::string, std::string>> settingsKeywords() {
    return keywordsWhere(false);
}

std::vector<std::pair<std::string, std::string>> optionalKeywords() {
    return keywordsWhere(true);
}

Settings convertSettings(const IniTable& table, char decimal, double gapFactor) {
    Settings s;
    s.decimal = decimal;
    for (const KeywordRow& row : keywordTable()) {
        double raw = numericPrefix(IniWert(table, row.keyword));
        store(s, row, withFallback(row, asFieldType(row.member, raw)));
        if (row.member == Member(&S::LAUT)) s.lautIsInteger = raw == 0; // keeps its type
    }
    if (s.STARTTON <= 0) s.STARTTON = toInt16(s.TIEFTON);
    s.toneCount = s.ANZAHL;

    double t = s.tfm();
    s.Samplepause = (t == 1 || t == 2) ? s.ZWISCHENRAUM * 0.1 : s.ZWISCHENRAUM * gapFactor;
    if (t == 0.1)
        for (const KeywordRow& row : keywordTable())
            if (row.inTestMode) store(s, row, *row.inTestMode);
    s.NurErstesSample = false;
    return s;
}

const Settings& SettingsConverter::operator()(const IniTable& table, char decimal,
                                              double gapFactor) {
    const auto first = table.lines.begin() + 1;
    const auto last = first + table.count;
    const bool same = valid_ && decimal == decimal_ && gapFactor == gapFactor_ &&
                      std::equal(first, last, lines_.begin(), lines_.end());
    if (!same) {
        settings_ = convertSettings(table, decimal, gapFactor);
        lines_.assign(first, last);
        decimal_ = decimal;
        gapFactor_ = gapFactor;
        valid_ = true;
    }
    return settings_;
}

} // namespace tonfex
