// The rows of the rule table. A new rule is one more row here and its file regel*.cpp.
#include "generation/ruletable.h"

#include "generation/rules.h"
#include "settings/settings.h"

namespace tonfex {

namespace {

const std::string k2 = "  "; // a line of two blanks

std::vector<std::string> withBlankLines(std::vector<std::string> lines, int count) {
    for (int i = 0; i < count; ++i)
        lines.push_back(k2);
    return lines;
}

// The random rules set Tonzahl themselves; the window runs them without Randi06.
int Regel01Row(RuleContext& ctx, const PatternTables&) {
    Regel01(ctx);
    return ctx.melody.Tonzahl;
}
int Regel02Row(RuleContext& ctx, const PatternTables&) {
    Regel02(ctx);
    return ctx.melody.Tonzahl;
}

} // namespace

const std::vector<RuleRow>& ruleTable() {
    static const std::vector<RuleRow> table = {
        {1,
         "Regel 01",
         Regel01Row,
         {"", "  Erläuterung der Regel 01:", "", "  Es wird eine Zufallsmelodie erzeugt,",
          "  die von der Einstellung der vier Parameter",
          "  Startton, Tiefton, Hochton und Intervall",
          "  abhängt. Es werden keine Patterns verwendet.", "",
          "  Für alle Regeln gilt:", "  Bei der Verwendung von Samples kann",
          "  eingestellt werden, ob sich je", "  nach Vorkommenshäufigkeit die Sampletonhöhe",
          "  verändern soll (Sampletuning THf = 1),", "  oder ob sie sich bei jeder",
          "  Vorkommenswiederholung erhöhen soll", "  (THf = 2). Der Grad der Erhöhung (oder",
          "  Erniedrigung) wird mit dem", "  Transpositionsfaktor (THf) eingestellt."},
         false,
         -1},
        {2, "Regel 02", Regel02Row,
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
         false, -1},
        {3, "Regel 03", Regel03,
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
         true, 1},
        {4,
         "Regel 04",
         Regel04,
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
         true,
         1},
        {5,
         "Regel 05",
         Regel05,
         {"", "  Erläuterung der Regel 05:", "", "  Es werden 2 Patterns verwendet. Infos zur",
          "  Erzeugung von Patterns siehe Regel 03.", "",
          "  Die Töne des ersten Patterns bestimmen die",
          "  Gesamttonhöhe eines Durchlaufs von Pattern",
          "  02. Der Rhythmus wird für das 2. Pattern", "  per Zufallsgenerator frei erfunden."},
         true,
         0},
        {6, "Regel 06", Regel06,
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
         true, 1},
    };
    return table;
}

const RuleRow* findRule(double tfm) {
    for (const RuleRow& row : ruleTable())
        if (row.tfm == tfm) return &row;
    return nullptr;
}

void forceRuleSettings(Settings& s) {
    if (const RuleRow* rule = findRule(s.tfm()); rule && rule->tondauerdirekt >= 0)
        s.TONDAUERDIREKT = static_cast<std::int16_t>(rule->tondauerdirekt);
}

} // namespace tonfex
