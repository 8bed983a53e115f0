#include "help/help.h"

#include "core/numbers.h"
#include "generation/ruletable.h"

#include <cmath>
#include <cstdlib>

namespace tonfex::help {

namespace {

// Page 0 is the test mode's; page k is the explanation of the table's k-th rule.
const std::vector<std::vector<std::string>>& pages() {
    static const std::vector<std::vector<std::string>> all = [] {
        std::vector<std::vector<std::string>> list = {
            {"", "  Erläuterung des Testmodus:", "", "  Im Testmodus werden alle in der Datei",
             "  Tonfex-HCR.txt vorhandenen Samples in", "  der Originalreihenfolge geschrieben und",
             "  wiedergegeben.", "  Alle in dieser Datei angegebenen Features",
             "  (Samplename, Dauer, Original-Samplezeitpunkt,",
             "  Playrate, Samplelautstärke 1 und 2) werden", "  übernommen.", "",
             "  Das Tempo wird automatisch auf 1 gestellt,",
             "  die Parameter Tdd (direkte Tondauer) und", "  Oga (Original-Sampleabstand) werden",
             "  ebenfalls auf 1 gestellt und", "  Snd (SOUND) wird auf 3 gestellt,",
             "  Stn (Sampletuning auf 0).", ""}};
        for (const RuleRow& row : ruleTable())
            list.push_back(row.page);
        return list;
    }();
    return all;
}

} // namespace

int lastPage() {
    return static_cast<int>(ruleTable().size());
}

void enlargeForPage(PageView& v) {
    v.Daten.visible = v.Zuordnung.visible = false;
    v.inidat.height = kEnlargedHeight;
    v.InidatGross = true;
    v.List2.width = kNarrowList2;
    v.List2Gross = false;
    v.inidat.bold = true;
    v.inidat.fontSize = 12;
    v.inidat.clear();
}

const std::vector<std::string>& explanationPage(int index) {
    static const std::vector<std::string> none;
    const auto& all = pages();
    return index >= 0 && index < static_cast<int>(all.size()) ? all[static_cast<size_t>(index)]
                                                              : none;
}

void showExplanation(ListBox& inidat, float index) {
    if (index != std::floor(index)) return;
    const auto& page = explanationPage(static_cast<int>(index));
    if (page.empty()) return;
    inidat.clear();
    for (const auto& line : page)
        inidat.add(line);
}

void Ubersicht_Click(PageView& v, const ReadSettings& initial, float& index) {
    v.LinkFlag = false;
    v.Label5.visible = false;
    v.erklaminus.visible = v.erklaplus.visible = true;
    const Settings& s = initial();
    enlargeForPage(v);
    // The rule is found by comparing number texts, as the settings hold it.
    if (s.TONFINDUNGSMETHODE == plainText(0.1, s.decimal)) {
        index = 0;
        showExplanation(v.inidat, index);
        return;
    }
    const auto& rules = ruleTable();
    for (size_t k = 0; k < rules.size(); ++k) {
        if (s.TONFINDUNGSMETHODE != plainText(rules[k].tfm, s.decimal)) continue;
        index = static_cast<float>(k + 1);
        showExplanation(v.inidat, index);
        return;
    }
}

void erklaplus_Click(ListBox& inidat, float& index) {
    index += 1;
    if (index == static_cast<float>(lastPage() + 1)) index = 0;
    showExplanation(inidat, index);
}

void erklaminus_Click(ListBox& inidat, float& index) {
    index -= 1;
    if (index == -1) index = static_cast<float>(lastPage());
    showExplanation(inidat, index);
}

const std::vector<std::string>& newRuleLines() {
    static const std::vector<std::string> lines = {"    Anleitung zum Einbau neuer Regeln.",
                                                   "    Beispiel für eine neue Regel 07.",
                                                   "",
                                                   "  * Ein neues Unterprogramm",
                                                   "    'Sub Regel 07' schreiben.",
                                                   "",
                                                   "  * In Randi06 einen neuen Programmaufruf",
                                                   "    'If TFm = 7 then call Regel 07'",
                                                   "    eintragen.",
                                                   "",
                                                   "  * Eintrag der Erläuterung zur Regel in",
                                                   "    einem neuen Unterprogramm 'Sub U07'.",
                                                   "    Sie erscheint beim Drücken von 'Regel'.",
                                                   "",
                                                   "  * Private Sub erklaminus_Click() und",
                                                   "    Private Sub erklaplus_Click()",
                                                   "    erweitern!",
                                                   "",
                                                   "  * In Tonfex.ini bei den Erläuterungen",
                                                   "    unter Tfm die neue Regel kurz erwähnen."};
    return lines;
}

void NeueRegelInfo_Click(PageView& v) {
    v.LinkFlag = false;
    v.Label5.visible = false;
    v.erklaminus.visible = v.erklaplus.visible = false;
    enlargeForPage(v);
    for (const auto& line : newRuleLines())
        v.inidat.add(line);
    v.Label2.caption.clear();
}

std::vector<std::string> notationSummary(const Settings& s) {
    std::vector<std::string> out;
    if (parseLocale(s.TAKT, s.decimal) == 0)
        out.emplace_back("  Keine Taktstriche (TKT)");
    else
        out.push_back("  Takt: " + s.TAKT.substr(0, 1) + "/" + s.TAKT.substr(1) + " (TKT)");
    if (s.VBSCHLUSSEL == 1) out.emplace_back("  Violinschlüssel (VBS)");
    if (s.VBSCHLUSSEL == 2) out.emplace_back("  Bass-Schlüssel (VBS)");
    const int trn = s.TRANSPOSIWERT;
    const std::string amount = plainText(std::abs(trn));
    if (trn == 0) out.emplace_back("  Keine Transposition (TRN)");
    if (trn == 1) out.push_back("  Transposition: " + amount + " Halbton nach oben (TRN)");
    if (trn > 1) out.push_back("  Transposition: " + amount + " Halbtöne nach oben (TRN)");
    if (trn == -1) out.push_back("  Transposition: " + amount + " Halbton nach unten (TRN)");
    if (trn < -1) out.push_back("  Transposition: " + amount + " Halbtöne nach unten (TRN)");
    out.push_back("  Der kürzeste Notenwert ist 1/" + plainText(s.KURZESTWERT) + " (KZW)");
    out.push_back("  Es werden " + plainText(s.NOTENPROZEILE) +
                  " Noten pro Zeile geschrieben (NPZ)");
    return out;
}

void Ubersicht_Notenschreiben_Click(PageView& v, const ReadSettings& initial) {
    v.LinkFlag = true;
    v.Daten.visible = v.Zuordnung.visible = false;
    v.inidat.height = kEnlargedHeight;
    v.InidatGross = true;
    v.List2.width = kNarrowList2;
    const Settings& s = initial();
    v.inidat.clear();
    v.inidat.add("");
    for (auto& line : notationSummary(s))
        v.inidat.add(std::move(line));
}

void List2_Click(PageView& v) {
    v.erklaminus.visible = v.erklaplus.visible = false;
    if (!v.List2Gross) {
        v.Daten.visible = v.Zuordnung.visible = false;
        v.List2.width = kWideList2;
        v.List2.fore = colors::black;
        v.List2Gross = true;
    } else {
        v.Daten.visible = v.Zuordnung.visible = true;
        v.List2.width = kNarrowList2;
        v.List2Gross = false;
    }
    v.inidat.height = v.reducedHeight;
    v.InidatGross = false;
}

} // namespace tonfex::help
