#include "settings/settings.h"

#include "core/numbers.h"
#include "core/textfile.h"

#include <algorithm>

namespace tonfex {

void fillIniTable(IniTable& table, const std::vector<std::string>& fileLines) {
    table.count = static_cast<int>(std::min<size_t>(fileLines.size(), IniTable::kMaxLines));
    for (int i = 1; i <= IniTable::kMaxLines; ++i)
        table.lines[static_cast<size_t>(i)] =
            i <= table.count ? fileLines[static_cast<size_t>(i - 1)] : std::string();
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
            table.byFirst[next[static_cast<unsigned char>(line[0])]++] = static_cast<std::uint16_t>(i);
}

std::optional<std::vector<std::string>> readIniLines(Files& files,
                                                     const std::filesystem::path& path) {
    auto read = readFirstLines(files, path, IniTable::kMaxLines, 4096);
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
        if (line.compare(0, keyword.size(), keyword) == 0)
            return valueOf(line);
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

Settings convertSettings(const IniTable& table, char decimal, double gapFactor) {
    Settings s;
    s.decimal = decimal;
    auto value = [&](std::string_view keyword) { return numericPrefix(IniWert(table, keyword)); };
    auto i16 = [&](std::string_view keyword) { return toInt16(value(keyword)); };
    auto i32 = [&](std::string_view keyword) { return toInt32(value(keyword)); };
    auto text = [&](double v) { return plainText(v, decimal); };

    s.SOUND = text(value("SOUND"));
    s.ANZAHL = i16("ANZAHL");
    if (s.ANZAHL <= 0) s.ANZAHL = 10;
    s.toneCount = s.ANZAHL;
    double tfm = value("TONFINDUNGSMETHODE");
    s.TONFINDUNGSMETHODE = text(tfm == 0 ? 1 : tfm);
    s.TIEFTON = i32("TIEFTON");
    if (s.TIEFTON <= 0) s.TIEFTON = 1;
    s.HOCHTON = i32("HOCHTON");
    if (s.HOCHTON <= 0) s.HOCHTON = 127;
    s.STARTTON = i16("STARTTON");
    if (s.STARTTON <= 0) s.STARTTON = toInt16(s.TIEFTON);
    s.AUTOPAN = i32("AUTOPAN");
    if (s.AUTOPAN <= 0) s.AUTOPAN = 0;
    s.INTERVALL = i16("INTERVALL");
    if (s.INTERVALL <= 0) s.INTERVALL = 12;
    s.KLEINERGROSSER = i16("KLEINERGROSSER");
    if (s.KLEINERGROSSER <= 0) s.KLEINERGROSSER = 1;
    s.TONDAUERDIREKT = i16("TONDAUERDIREKT") > 0 ? 1 : 0;
    s.NOTENWERT = i32("NOTENWERT");
    if (s.NOTENWERT <= 0) s.NOTENWERT = 8;
    s.LAUTVAR = i32("LAUTVAR");
    if (s.LAUTVAR <= 0) s.LAUTVAR = 127;
    s.SAMPLETUNING = i16("SAMPLETUNING");
    s.SAMPLESTARTPUNKTMODUS = i16("SAMPLESTARTPUNKTMODUS");
    s.SAMPLEVERSCHIEBUNGSFAKTOR = value("SAMPLEVERSCHIEBUNGSFAKTOR");
    s.TEMPO = toSingle(value("TEMPO"));
    if (s.TEMPO == 0) s.TEMPO = 1;
    double laut = value("LAUT");
    s.lautIsInteger = laut == 0;
    s.LAUT = laut == 0 ? 80 : laut;
    s.SAMPLENUMMER = i16("SAMPLENUMMER");
    s.ZWISCHENRAUM = value("ZWISCHENRAUM");
    s.UBERLAPPUNG = value("ÜBERLAPPUNG");
    s.TRACKZAHL = i32("TRACKZAHL");
    if (s.TRACKZAHL <= 0 || s.TRACKZAHL > 8) s.TRACKZAHL = 8;
    s.ORIGINALSAMPLEABSTAND = i16("ORIGINALSAMPLEABSTAND");
    s.ORIGINALSAMPLEDAUER = i16("ORIGINALSAMPLEDAUER");
    s.SAMPLEOFFSETTUNE = value("SAMPLEOFFSETTUNE");
    s.TONHOHENANDERUNGSFAKTOR = value("TONHÖHENÄNDERUNGSFAKTOR");
    s.TRANSPONI = i16("TRANSPONI");
    s.WIEVIELELOOPS = i16("WIEVIELELOOPS");
    if (s.WIEVIELELOOPS == 0) s.WIEVIELELOOPS = 1;
    s.WIEDERHOLUNGSDISTANZ = i16("WIEDERHOLUNGSDISTANZ");
    s.UNTERGRENZE = i16("UNTERGRENZE");
    s.OBERGRENZE = i16("OBERGRENZE");
    s.VERZOGERUNG = value("VERZOGERUNG");
    s.KURZTON = i16("KURZTON");
    s.LANGTON = i16("LANGTON");
    s.VORRUCK01 = value("VORRUCK01") != 0;
    s.VORRUCK02 = value("VORRUCK02") != 0;
    s.TAKT = text(value("TAKT"));
    s.VBSCHLUSSEL = i16("VBSCHLUSSEL");
    s.TRANSPOSIWERT = i16("TRANSPOSIWERT");
    s.KURZESTWERT = i16("KURZESTWERT");
    s.NOTENPROZEILE = i16("NOTENPROZEILE");
    s.KEYTRANSPOSE = i16("KEYTRANSPOSE");
    s.SAMPLEEINSCHWING = value("SAMPLEEINSCHWING");
    s.SAMPLEAUSSCHWING = value("SAMPLEAUSSCHWING");
    s.SAMPLELOOPS = i16("SAMPLELOOPS");
    s.SAMPLETRANSU = value("SAMPLETRANSU");
    s.SAMPLETRANSO = value("SAMPLETRANSO");
    s.SAMPLEOFFSETSTART = value("SAMPLEOFFSETSTART");

    double t = s.tfm();
    s.Samplepause = (t == 1 || t == 2) ? s.ZWISCHENRAUM * 0.1 : s.ZWISCHENRAUM * gapFactor;

    if (t == 0.1) {
        s.TONDAUERDIREKT = 1;
        s.ORIGINALSAMPLEABSTAND = 1;
        s.TEMPO = 1;
        s.SAMPLETUNING = 0;
        s.SAMPLEOFFSETSTART = 0;
    }
    s.NurErstesSample = false;
    return s;
}

void applyPatternButtons(const Settings& s, MainControls& c) {
    bool show = s.tfm() > 2;
    for (Button* b :
         {&c.Capellanotenwandeln, &c.Capellanotenwandeln2, &c.Patti, &c.Patti02, &c.KeineFrage})
        b->visible = show;
}

void applyModeControls(const Settings& s, MainControls& c) {
    double sound = s.sound();
    if (sound == 1) {
        c.Label2.caption = kMelodienspieler;
        c.Command1.visible = false;
        c.Reaperstart.visible = false;
        c.Stopp.visible = true;
        c.Startknopf.visible = true;
    } else if (s.sampleMode()) {
        c.Label2.caption = kAutosampler;
        c.Command1.visible = true;
        c.Reaperstart.visible = true;
        c.Stopp.visible = false;
        c.Startknopf.visible = false;
    }
}

} // namespace tonfex
