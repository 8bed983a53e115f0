#include "help/help.h"

#include "core/numbers.h"
#include "generation/ruletable.h"

#include <algorithm>
#include <cmath>

namespace tonfex::help {

namespace {

// The summary's texts of numbers: plain decimal form with the locale's separator.
struct Texts {
    char decimal;
    std::string operator()(double v) const { return plainText(v, decimal); }
    std::string operator()(float v) const { return plainTextSingle(v, decimal); }
    std::string operator()(std::int16_t v) const { return plainText(static_cast<long long>(v)); }
    std::string operator()(std::int32_t v) const { return plainText(static_cast<long long>(v)); }
};

void sampleLines(const Settings& s, double tfm, const Texts& V, std::vector<std::string>& out) {
    auto add = [&](std::string line) { out.push_back(std::move(line)); };
    switch (s.SAMPLENUMMER) {
    case 0:
        add("  WAV-Datei als Samplenamen (Snn)");
        break;
    case 1:
        add("  Ton-Nummern als Samplenamen (Snn)");
        break;
    case 2:
        add("  Sample-Infos als Samplenamen (Snn)");
        break;
    default:
        break;
    }
    if (s.TRACKZAHL != 1)
        add("  " + V(s.TRACKZAHL) + " Reaper-Spuren (Trz)");
    else
        add("  " + V(s.TRACKZAHL) + " Reaper-Spur (Trz)");
    if (s.TRACKZAHL != 1 && s.AUTOPAN == 0) add("  Autopan aus (Atp)");
    if (s.TRACKZAHL != 1 && s.AUTOPAN == 1) add("  Autopan ein (Atp)");
    if (s.TRACKZAHL == 1) add("  Deshalb kein Autopan");
    add("  Fade in " + V(s.SAMPLEEINSCHWING) + " (Sfi)");
    add("  Fade out " + V(s.SAMPLEAUSSCHWING) + " (Sfo)");

    if (tfm == 2) add("  Obergrenze Anzahl Sampleloops: " + V(s.SAMPLELOOPS) + " (SPL)");
    if (tfm == 2 && s.SAMPLETUNING != 0) {
        add("  Tiefstmögliche Sampletransposition: " + V(s.SAMPLETRANSU) + " (SAU)");
        add("  Höchstmögliche Sampletransposition: " + V(s.SAMPLETRANSO) + " (SAO)");
        add("  Transpositionsfaktor " + V(s.TONHOHENANDERUNGSFAKTOR) + " (THf)");
    }
    if (s.ORIGINALSAMPLEABSTAND == 0) add("  Sampleabstand wie in Tonfex.txt (Oga)");
    if (s.ORIGINALSAMPLEABSTAND == 1) add("  Sampleabstand = Sampledauer bei Tempo 1 (Oga)");
    if (s.ORIGINALSAMPLEDAUER == 0) add("  Sampledauer wie in Tonfex.txt (Ogs)");
    if (s.Samplepause == 0)
        add("  Keine Pausen zwischen den Samples (Zwv)");
    else
        add("  Pausen zwischen den Samples: " + V(s.ZWISCHENRAUM) + " (Zwv)");
    if (s.UBERLAPPUNG == 0)
        add("  Keine Sample-Überlappung (Ubl)");
    else
        add("  Sample-Überlappung: " + V(s.UBERLAPPUNG) + " (Ubl)");
    if (s.ORIGINALSAMPLEDAUER == 1) add("  Original-Sampledauer (Ogs)");
    static const char* const keytranspose[] = {"  Kein Keytranspose (KTP)",
                                               "  Keytranspose: Sample auf Zeile 1 (KTP)",
                                               "  Keytranspose m. zufallsgewählten Samples (KTP)",
                                               "  Keytranspose, Samples in Zeilenfolge (KTP)"};
    if (s.KEYTRANSPOSE >= 0 && s.KEYTRANSPOSE <= 3) add(keytranspose[s.KEYTRANSPOSE]);
    static const char* const tuning[] = {
        "  Kein Sampletuning (Stn)", "  Sampletuning nach Vorkommenshäufigkeit (Stn)",
        "  Sampletuning immer höher (Stn)", "  Sampletuning mit Melodien (Stn)",
        "  Sampletuning immer tiefer (Stn)"};
    if (s.SAMPLETUNING >= 0 && s.SAMPLETUNING <= 4) add(tuning[s.SAMPLETUNING]);
    if (s.SAMPLETUNING > 0 && tfm != 2)
        add("  Transpositionsfaktor " + V(s.TONHOHENANDERUNGSFAKTOR) + " (THf)");
    if (s.SAMPLEOFFSETTUNE == 0)
        add("  Keine Gesamt-Sampletransposition (HTo)");
    else
        add("  Transposition für alle Samples: " + V(s.SAMPLEOFFSETTUNE) + " (HTo)");
    if (s.SAMPLESTARTPUNKTMODUS == 0) add("  Keine Samplestartpunktvariationen (Stp)");
    if (s.SAMPLESTARTPUNKTMODUS == 1) {
        add("  Samplestartpunkt nach Vorkommenshäufigkeit (Stp)");
        add("  Sampleverschiebungsfaktor " + V(s.SAMPLEVERSCHIEBUNGSFAKTOR) + " (Stf)");
    }
    if (s.SAMPLESTARTPUNKTMODUS == 2) {
        add("  Samplestartpunkt bei Samplewiederholung (Stp)");
        add("  Sampleverschiebungsfaktor " + V(s.SAMPLEVERSCHIEBUNGSFAKTOR) + " (Stf)");
    }
    if (s.SAMPLEOFFSETSTART == 0)
        add("  Keine Gesamt-Samplezeitverschiebung (SOT)");
    else
        add("  Zeitverschiebung für alle Samples: " + V(s.SAMPLEOFFSETSTART) + " (SOT)");
    add("");
}

// Splits `text` into three lines at the given break positions so that the longest is as short
// as it can be; a break at a blank drops the blank.
std::vector<std::string> threeBalancedLines(const std::string& text,
                                            const std::vector<size_t>& breaks) {
    std::vector<std::string> best;
    size_t bestLongest = std::string::npos;
    auto piece = [&](size_t from, size_t to) {
        std::string p = text.substr(from, to - from);
        if (!p.empty() && p.front() == ' ') p.erase(0, 1);
        return "  " + p;
    };
    for (size_t i = 0; i < breaks.size(); ++i)
        for (size_t k = i + 1; k < breaks.size(); ++k) {
            std::vector<std::string> lines = {piece(0, breaks[i]), piece(breaks[i], breaks[k]),
                                              piece(breaks[k], text.size())};
            size_t longest = 0;
            for (const auto& l : lines)
                longest = std::max(longest, l.size());
            if (longest < bestLongest) {
                bestLongest = longest;
                best = lines;
            }
        }
    if (best.empty()) best = {"  " + text, "  ", "  "};
    return best;
}

} // namespace

std::vector<std::string> summaryLines(const Settings& s) {
    const Texts V{s.decimal};
    const double sound = s.sound();
    const double tfm = s.tfm();
    std::vector<std::string> out;
    auto add = [&](std::string line) { out.push_back(std::move(line)); };

    if (sound == 1) add("  MIDI mit Wavetable (Snd)");
    if (sound == 2) add("  SAMPLER mit Tonfex-HC.txt (Snd)");
    if (sound == 3 || sound == 4) add("  SAMPLER mit Tonfex-HCR.rpp (Snd)");
    if (s.sampleMode()) sampleLines(s, tfm, V, out);

    if (tfm >= 1)
        add("  REGEL 0" + s.TONFINDUNGSMETHODE + " (TFm)");
    else
        add("  REGEL " + s.TONFINDUNGSMETHODE + " (TESTMODUS) (TFm)");
    if (tfm == 6) {
        add(s.VORRUCK01 ? "  Pattern 01 vorwärts und rückwärts (VR1)"
                        : "  Pattern 01 vorwärts (VR1)");
        add(s.VORRUCK02 ? "  Pattern 02 vorwärts und rückwärts (VR2)"
                        : "  Pattern 02 vorwärts (VR2)");
    }
    add("  Tempo " + V(s.TEMPO) + " (tempi)");
    if (std::abs(s.TRANSPONI) < 1)
        add("  Keine allgemeine Tontransposition (Trs)");
    else
        add("  Allgemeine Tontransposition " + V(s.TRANSPONI) + " (Trs)");
    const RuleRow* rule = findRule(tfm);
    const bool patternRule = rule && rule->patterns;
    const bool randomRule = rule && !rule->patterns;
    // Regel 07 and 09 make ANZAHL tones in a range instead of pattern passes.
    const bool walk = tfm == 7 || tfm == 9;
    if (patternRule && !walk)
        add("  " + V(s.WIEVIELELOOPS) +
            (s.WIEVIELELOOPS <= 1 ? " Patterndurchlauf (LOP)" : " Patterndurchläufe (LOP)"));
    if (randomRule) add("  " + V(s.ANZAHL) + " Töne (Anz)");
    if (tfm == 0.1 || tfm == 0.2) add("  Alle Töne aus Tonfex-HCR.txt (Anz)");
    if (s.TONDAUERDIREKT == 0) {
        add("  Tondauern indirekt (Tdd)");
        if (tfm == 5) {
            add("  Kleinster Wert " + V(s.KURZTON) + " (KTn)");
            add("  Größter Wert " + V(s.LANGTON) + " (LTn)");
        }
    }
    if (s.TONDAUERDIREKT == 1) add("  Tondauern direkt (Tdd)");
    if (randomRule) {
        if (s.TONDAUERDIREKT == 0) add("  Größte indirekte Tondauer " + V(s.NOTENWERT) + " (Tda)");
        if (s.TONDAUERDIREKT == 1) add("  Größte direkte Tondauer " + V(s.NOTENWERT) + " (Tda)");
        add("  Lautstärkevariation " + V(s.LAUTVAR) + " (Lva)");
        add("  Startton " + V(s.STARTTON) + " (Sto)");
        add("  Tiefster Ton " + V(s.TIEFTON) + " (Ttn)");
        add("  Höchster Ton " + V(s.HOCHTON) + " (Htn)");
    }
    if (tfm == 1) {
        add("  Das Intervall ist eingestellt auf " + V(s.INTERVALL) + " (Iva)");
        if (s.KLEINERGROSSER == 1)
            add("  Intervalle gleich oder kleiner " + V(s.INTERVALL) + " (Kgl)");
        if (s.KLEINERGROSSER == 3)
            add("  Nur Intervall " + V(s.INTERVALL) + " wird verwendet (Kgl)");
    }
    if (walk) {
        add("  " + V(s.ANZAHL) + " Töne (Anz)");
        if (tfm == 7) add("  Markovordnung " + V(s.MARKOVORDNUNG) + " (Mko)");
        if (tfm == 9) {
            add(std::string(s.TONDAUERDIREKT == 1 ? "  Größte direkte Tondauer "
                                                   : "  Größte indirekte Tondauer ") +
                V(s.NOTENWERT) + " (Tda)");
            add("  Lautstärkevariation " + V(s.LAUTVAR) + " (Lva)");
        }
        add("  Tiefster Ton " + V(s.TIEFTON) + " (Ttn)");
        add("  Höchster Ton " + V(s.HOCHTON) + " (Htn)");
    }
    if (tfm == 3 || tfm == 8) {
        add("  Pattern-Wiederholungsdistanz " + V(s.WIEDERHOLUNGSDISTANZ) + " (Whd)");
        add("  Maximale Abwärtstransposition " + V(s.UNTERGRENZE) + " (UGr)");
        add("  Maximale Aufwärtstransposition " + V(s.OBERGRENZE) + " (OGr)");
    }
    add("");
    add("  Verzögerungsfaktor " + V(s.VERZOGERUNG) + " (Vzg)");
    if (s.ZUFALLSSTART != 0) add("  Zufallsstart " + V(s.ZUFALLSSTART) + " (Zst)");
    return out;
}

std::vector<std::string> presetNotice(const std::string& proginfoPath) {
    std::vector<std::string> lines = {"  Tonfex.ini, Tonfex-HCR.rpp,",
                                      "  Tonfex-01.cap und Tonfex-02.cap",
                                      "  wurden verändert.",
                                      "  ",
                                      "  Bei der Verwendung von Patterns müssen",
                                      "  die Capelladateien Tonfex-01.cap und",
                                      "  Tonfex-02.cap neu als XML-Dateien ex-",
                                      "  portiert werden (CAP 01 und CAP 02 drücken,",
                                      "  um diese Dateien zu öffnen).",
                                      "  Dann müssen in TONFEX die Knöpfe XML 01",
                                      "  und XML 02 gedrückt werden.",
                                      "  ",
                                      "  Tonfex.ini zeigt im Editor eventuell",
                                      "  falsche Werte an. Erst schließen, dann",
                                      "  wieder öffnen!",
                                      "  "};
    // The quoted path and " werden automatisch", broken after folder separators (or before
    // "werden") into three lines of about equal length.
    const std::string text = "'" + proginfoPath + "' werden automatisch";
    std::vector<size_t> breaks;
    for (size_t i = 1; i < proginfoPath.size(); ++i)
        if (proginfoPath[i] == '\\' || proginfoPath[i] == '/') breaks.push_back(i + 2);
    breaks.push_back(proginfoPath.size() + 2);
    for (auto& line : threeBalancedLines(text, breaks))
        lines.push_back(std::move(line));
    for (const char* line : {"  die zuletzt geladenen Presets eingetragen.", "  ",
                             "  In die linke (blau gewordene) Liste klicken,",
                             "  und ganz nach unten scrollen, um sie anzusehen!"})
        lines.emplace_back(line);
    return lines;
}

const std::vector<std::string>& samplemixNotice() {
    static const std::vector<std::string> lines = {
        "  SAMPLEMIX",
        "",
        "  Mit Samplemix kann man verschiedene Sample-",
        "  Sammlungen, die bereits in Reaperdateien",
        "  aufgenommen wurden (z.B. in",
        "  Tonfex-HCR-01.rpp, Tonfex-HCR-02.rpp,",
        "  usw.) mischen und in eine Zufallsreihenfolge",
        "  bringen.",
        "  ",
        "  Erläuterung der Arbeitsschritte:",
        "  In Reaper die WAV-Dateien aus aus den ver-",
        "  schiedenen Reaperdateien hintereinander-",
        "  setzen als 'Tonfex-HCR.rpp' speichern.",
        "  In TONFEX den Knopf 'Samples' drücken und",
        "  nachsehen, ob die richtigen Samples in",
        "  Tonfex-HCR.rpp geladen sind.",
        "  In Tonfex.ini müssen eventuell noch",
        "  Tiefton und Hochton angepasst werden.",
        "  Jetzt in TONFEX 'P' drücken (es sind 1000",
        "  Töne voreingestellt). Die entstehende Reaper-",
        "  datei Tonfex.rpp als HHHHH.rpp oder mit",
        "  beliebigem neuem Namen (z.B.",
        "  Tonfex-HCR-33.rpp) abspeichern.",
        "  Diese Reaperdatei kann dann jederzeit als",
        "  Tonfex-HCR.rpp kopiert und dann mit TONFEX",
        "  verwendet werden."};
    return lines;
}

namespace {
void showNotice(ListBox& inidat, Dialogs& dialogs, Rgb colour,
                const std::vector<std::string>& notice, const std::string& question) {
    inidat.fore = colour;
    for (const auto& line : notice)
        inidat.add(line);
    dialogs.tell("Tonfex", question);
    inidat.clear();
    inidat.fore = colors::black;
    inidat.add("");
}
} // namespace

void Kurzubersicht_Click(PageView& v, const ReadSettings& initial, Dialogs& dialogs,
                         bool presetLoaded, bool samplemix, const std::string& proginfoPath) {
    v.LinkFlag = true;
    v.erklaminus.visible = v.erklaplus.visible = false;
    v.Label5.visible = true;
    v.Label5.bold = false;
    v.Label5.fore = colors::black;
    v.Label5.caption = "Um einen Wert zu verändern, hier oben auf die entsprechende Zeile\r\n"
                       "klicken. Dann im Editor - im Clip MUSIK - auf F I N D E N klicken.";
    const Settings& s = initial();
    enlargeForPage(v);
    v.inidat.add("");
    if (presetLoaded)
        showNotice(v.inidat, dialogs, kPresetRed, presetNotice(proginfoPath), "weiter?");
    if (samplemix)
        showNotice(v.inidat, dialogs, kSamplemixGreen, samplemixNotice(),
                   "weiter? (erst genau lesen!)");
    for (auto& line : summaryLines(s))
        v.inidat.add(std::move(line));
}

void Label5_MouseMove(Label& label5) {
    label5.bold = true;
    label5.fore = colors::black;
}

} // namespace tonfex::help
