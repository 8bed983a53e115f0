#include "help/help.h"

#include "core/numbers.h"

#include <cmath>
#include <cstdlib>

namespace tonfex::help {

namespace {

const std::string k2 = "  "; // a line of two blanks

std::vector<std::string> withBlankLines(std::vector<std::string> lines, int count) {
    for (int i = 0; i < count; ++i)
        lines.push_back(k2);
    return lines;
}

const std::vector<std::vector<std::string>>& pages() {
    static const std::vector<std::vector<std::string>> all = {
        {"", "  Erläuterung des Testmodus:", "", "  Im Testmodus werden alle in der Datei",
         "  Tonfex-HCR.txt vorhandenen Samples in", "  der Originalreihenfolge geschrieben und",
         "  wiedergegeben.", "  Alle in dieser Datei angegebenen Features",
         "  (Samplename, Dauer, Original-Samplezeitpunkt,",
         "  Playrate, Samplelautstärke 1 und 2) werden", "  übernommen.", "",
         "  Das Tempo wird automatisch auf 1 gestellt,",
         "  die Parameter Tdd (direkte Tondauer) und", "  Oga (Original-Sampleabstand) werden",
         "  ebenfalls auf 1 gestellt und", "  Snd (SOUND) wird auf 3 gestellt,",
         "  Stn (Sampletuning auf 0).", ""},
        {"", "  Erläuterung der Regel 01:", "", "  Es wird eine Zufallsmelodie erzeugt,",
         "  die von der Einstellung der vier Parameter",
         "  Startton, Tiefton, Hochton und Intervall",
         "  abhängt. Es werden keine Patterns verwendet.", "",
         "  Für alle Regeln gilt:", "  Bei der Verwendung von Samples kann",
         "  eingestellt werden, ob sich je", "  nach Vorkommenshäufigkeit die Sampletonhöhe",
         "  verändern soll (Sampletuning THf = 1),", "  oder ob sie sich bei jeder",
         "  Vorkommenswiederholung erhöhen soll", "  (THf = 2). Der Grad der Erhöhung (oder",
         "  Erniedrigung) wird mit dem", "  Transpositionsfaktor (THf) eingestellt."},
        withBlankLines({"",
                        "  Erläuterung der Regel 02:",
                        "",
                        "  Es können Loops erzeugt werden.",
                        "  Töne mit zufälligen Tonhöhen werden erzeugt.",
                        "  Auch Tondauern und Lautstärken werden im",
                        "  Rahmen der vorgenommenen Einstellungen",
                        "  zufällig erzeugt, abhängig von den vier",
                        "  Parametern Startton, Tiefton, Hochton und",
                        "  Intervall. Es werden keine Patterns",
                        "  verwendet.",
                        k2,
                        "  Als Loops sind unmittelbare mehrfache",
                        "  Tonwiederholungen zu verstehen. Bei",
                        "  Samples (Snd >= 2), kann eingestellt werden,",
                        "  ob sich die Sampletonhöhe je nach Vorkom-",
                        "  menshäufigkeit verändern soll (Sampletuning",
                        "  Stn = 1), oder ob sie sich bei jeder",
                        "  Wiederholung erhöhen soll (Stn = 2).",
                        "  NEU: Bei Stn = 3 erfolgt eine zufällige",
                        "  Tonhöheneinstellung, abhängig von THf und",
                        "  von der (zufällig erzeugten) Sample-",
                        "  Wiederholungsrate (je höher diese Rate,",
                        "  desto größer die Tonhöhenvariation in der",
                        "  Melodie). Es wird sichergestellt, dass",
                        "  keine unmittelbare (Sample-)Tonhöhenwieder-",
                        "  holung erfolgt. Erst nach 2 verschiedenen",
                        "  Tonhöhen darf sich die erste wiederholen.",
                        "  Dies funktioniert aber nur, wenn die",
                        "  Trackzahl (Trz) auf 1 gestellt ist."},
                       6),
        withBlankLines({"",
                        "  Erläuterung der Regel 03:",
                        "",
                        "  Hier wird nur EIN Pattern, das",
                        "  Pattern 02 verwendet.",
                        k2,
                        "  Informationen zu den Patterns:",
                        "  Ein Pattern kann sehr lang, aber auch sehr",
                        "  kurz sein. Im Extremfall ist es eine ganze",
                        "  Komposition, oder aber es besteht es nur",
                        "  aus einer einzigen Note.",
                        "  Ein Pattern darf nur einstimmig sein, sonst",
                        "  funktioniert das Programm nicht richtig.",
                        k2,
                        "  HERSTELLUNG EINES PATTERNS (hier als",
                        "  Beispiel Pattern 02): Zuerst in Tonfex",
                        "  den Knopf CAP 02 drücken (links unten),",
                        "  dann öffnet sich das Programm Capella",
                        "  Mit Capella kann eine Tonfolge geschrieben",
                        "  werden, die dann als MusicXML-Datei mit",
                        "  Namen Tonfex-02.xml exportiert werden",
                        "  muss. In Tonfex auf den Knopf XML-02",
                        "  gedrückt, und es wird umgewandelt in",
                        "  Tonfex-Cap-02.txt. Das ist Pattern 02.",
                        k2,
                        "  Das komplette Pattern wird bei jeder",
                        "  Wiederholung transponiert. Es kann ange-",
                        "  geben werden, nach wievielen Durchgängen",
                        "  sich das Transpositionsintervall wieder-",
                        "  holen darf (Wiederholungsdistanz Whd),",
                        "  außerdem kann man eine Ober- und eine",
                        "  Untergrenze für das Tranpositionsintervall",
                        "  einstellen. (Untergrenze UGr und Obergrenze",
                        "  OGr). Wenn das Pattern nur EINEN Ton",
                        "  enthält, können ZWÖLFTONMELODIEN erzeugt",
                        "  werden! (Aber auch Dreiton, Neunton,",
                        "  Zwanzigtonmelodien, was insbesondere im",
                        "  Zusammenhang mit Samples interessant",
                        "  sein kann.)"},
                       6),
        {"",
         "  Erläuterung der Regel 04:",
         "",
         "  Es wird nur Pattern 02 verwendet.",
         "  Infos zur Erzeugung von Patterns",
         "  siehe Regel 03.",
         "",
         "  Dies ist eine noch im Experimentierstadium",
         "  befindliche Regel: Wenn zwei gespielte Töne",
         "  mit einer kleinen Sekunde aufeinanderfolgen,",
         "  dann soll ein zusätzlicher Ton mit einem",
         "  bestimmten Intervall eingefügt werden. Wenn",
         "  zwei gespielte Töne mit einer großen Sekunde",
         "  aufeinanderfolgen, dann soll ein zusätzlicher",
         "  Ton mit einem anderen Intervall eingefügt",
         "  werden. Intervall aufwärts oder abwärts? Zur",
         "  Zeit nur aufwärts. Folgendes lässt sich sehr",
         "  leicht ändern: Welches Intervall, aufwärts",
         "  oder abwärts, auf welches gespielte Intervall",
         "  soll reagiert werden, usw. Zum Beispiel",
         "  könnte man auf eine Quart aufwärts immer",
         "  eine große (oder kleine) Terz folgen lassen."},
        {"", "  Erläuterung der Regel 05:", "", "  Es werden 2 Patterns verwendet. Infos zur",
         "  Erzeugung von Patterns siehe Regel 03.", "",
         "  Die Töne des ersten Patterns bestimmen die",
         "  Gesamttonhöhe eines Durchlaufs von Pattern",
         "  02. Der Rhythmus wird für das 2. Pattern", "  per Zufallsgenerator frei erfunden."},
        withBlankLines({"",
                        "  Erläuterung der Regel 06:",
                        "",
                        "  Es werden 2 Patterns verwendet. Infos zur",
                        "  Erzeugung von Patterns siehe Regel 03.",
                        "",
                        "  Pattern 02 (Tonfex-02.cap) wird von",
                        "  Pattern 01 (Tonfex-01.cap) 'gespielt'",
                        "  Pattern 01 ist also das steuernde Pattern,",
                        "  Pattern 02 ist das gespielte Pattern.",
                        "  Tiefe Töne in Pattern 01 spielen das",
                        "  Pattern 02 tief ab, hohe hoch. Lange",
                        "  Töne spielen Pattern 02 langsam, kurze",
                        "  Töne spielen es schnell. Pausen in",
                        "  Pattern 01 werden nicht berücksichtigt.",
                        "  Die Anzahl der Töne, die tatsächlich von",
                        "  Pattern 02 gespielt werden, sowie die",
                        "  Anzahl der Töne, die im steuernden",
                        "  Pattern 01 berücksichtigt werden, ist",
                        "  zufallsgesteuert.",
                        "  Außerdem gibt es einstellbare Abspielmodi:",
                        "  Bei Vorruck01 (VR1) = 1 wird Pattern 01",
                        "  zufallsgesteuert vorwärts und rückwärts",
                        "  gespielt, bei Vorruck01 (VR1) = 0 nur",
                        "  vorwärts. In gleicher Weise gilt die",
                        "  Einstellung von Vorruck02 (VR2) für",
                        "  Pattern 02."},
                       6),
    };
    return all;
}

} // namespace

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
    const double rules[] = {0.1, 1, 2, 3, 4, 5, 6};
    for (double rule : rules) {
        if (s.TONFINDUNGSMETHODE != plainText(rule, s.decimal)) continue;
        index = rule == 0.1 ? 0.0f : static_cast<float>(rule);
        showExplanation(v.inidat, index);
        return;
    }
}

void erklaplus_Click(ListBox& inidat, float& index) {
    index += 1;
    if (index == 7) index = 0;
    showExplanation(inidat, index);
}

void erklaminus_Click(ListBox& inidat, float& index) {
    index -= 1;
    if (index == -1) index = 6;
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
