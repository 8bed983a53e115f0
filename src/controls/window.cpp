#include "controls/window.h"

namespace tonfex {

namespace {
void button(Button& b, const char* name, const char* caption, const char* tooltip) {
    b.name = name;
    b.caption = caption;
    b.tooltip = tooltip;
    b.back = colors::lightGrey;
}
} // namespace

MainControls::MainControls() {
    button(Dateiherstellung, "Dateiherstellung", "Neu",
           "Eine Melodiedatei wird gemäß eingestelltem Modus vom Computer generiert und - bei "
           "Einstellung SOUND '1' - nach kurzer Wartezeit abgespielt. Bei SOUND '2' wird eine "
           "Reaperdatei geschrieben.");
    button(Command1, "Command1", "", "Powertaste: Töne berechnen, dann startet Reaper automatisch");
    button(Startknopf, "Startknopf", "Play", "Melodiedatei Tonfex.txt abspielen");
    button(Stopp, "Stopp", "Stopp", "");
    button(Ende, "Ende", "Ende", "");
    button(Reaperstart, "Reaperstart", "Reaper",
           "Reaper mit Tonfex.rpp starten - erst 'Play' oder 'Neu' drücken und erst Reaper "
           "schließen! - in Reaper eine WAV-Datei rendern: Strg + Alt + R (ein Name wird "
           "automatisch vergeben)");
    button(Hoeren, "Hoeren", "Hören",
           "Tonfex.rpp ohne Reaper anhören: eine WAV-Datei wird berechnet und abgespielt");
    button(Reaperstart2, "Reaperstart2", "Samples",
           "Reaper mit Tonfex-HCR.rpp starten. Hier kann man das KLANGMATERIAL anhören und "
           "erweitern!");
    button(Command2, "Command2", "Einstellung", "Tonfex.ini aufrufen");
    button(Inidateischau, "Inidateischau", "Einstellung",
           "INI-Datei öffnen und Einstellungen verändern");
    button(Command3, "Command3", "Melodie",
           "Die von TONFEX abzuspielende Ton- oder Samplereihenfolge. TONFEX erzeugt solche "
           "Reihen. Sie können nachträglich manuell verändert oder auch komplett neu geschrieben "
           "werden.");
    button(Dateischau, "Dateischau", "Melodie",
           "Melodiedatei öffnen und Parameter manuell verändern");
    button(Command4, "Command4", "Bedienung",
           "Programmbeschreibung, Bedienungsanleitung. Die Datei Tonfex-Proginfo.txt wird  "
           "aufgerufen. Änderungen in den Beschrei bungen können vorgenommen werden.");
    button(Command5, "Command5", "Samples 1", "Tonfex-HC.txt aufrufen");
    button(Command9, "Command9", "Samples",
           "Detaillierte Infos zu den Samples anzeigen (Tonfex-HCR.txt aufrufen)");
    button(Command6, "Command6", "Statistik",
           "Hier wird angezeigt, wie oft sich die Töne oder Samples wiederholen ( "
           "Tonfex-Test.txt aufrufen)");
    button(Command7, "Command7", "Patternmix",
           "Ergebnisse nach Ausführung von Regel 06 anzeigen (Tonfex-Test2.txt aufrufen)");
    button(Command8, "Command8", "Tondauern",
           "Tondauern-Container anzeigen (Tonfex-DTC.txt aufrufen)");
    button(Command10, "Command10", "Dateien",
           "Gespeicherte Dateien anzeigen (Tonfex-Doku.txt aufrufen)");
    button(Patti, "Patti", "TXT 1",
           "Patterndatei Tonfex-Cap-PT.txt öffnen, z.B. um Lautstärkewerte einzutragen");
    button(Patti02, "Patti02", "TXT 2",
           "Patterndatei Tonfex-Cap-02.txt öffnen, z.B. um Lautstärkewerte einzutragen");
    button(CapellaStart, "CapellaStart", "CAP 01",
           "Capella mit C:\\Arbeit\\Tonfex-01.cap starten, eine einstimmige Melodie schreiben und "
           "als MusicXML mit Namen Tonfex-01.xml (für das 1. Pattern) exportieren!");
    button(CapellaStart02, "CapellaStart02", "CAP 02",
           "Capella mit C:\\Arbeit\\Tonfex-02.cap starten, eine einstimmige Melodie schreiben und "
           "als MusicXML mit Namen Tonfex-02.xml (für das 2. Pattern) exportieren!");
    button(Capellanotenwandeln, "Capellanotenwandeln", "XML 01",
           "Tonfex-01.xml (von Capella) wird in ein Pattern mit Namen Tonfex-Cap-PT.txt "
           "gewandelt.");
    button(Capellanotenwandeln2, "Capellanotenwandeln2", "XML 02",
           "Tonfex-02.xml (von Capella) wird in ein Pattern mit Namen Tonfex-Cap-02.txt "
           "gewandelt.");
    button(Midiwandeln, "Midiwandeln", "MID 01",
           "Tonfex-01.mid (Standard-MIDI-Datei, z.B. aus MuseScore oder einem Sequenzer) wird in "
           "ein Pattern mit Namen Tonfex-Cap-PT.txt gewandelt.");
    button(Midiwandeln2, "Midiwandeln2", "MID 02",
           "Tonfex-02.mid (Standard-MIDI-Datei, z.B. aus MuseScore oder einem Sequenzer) wird in "
           "ein Pattern mit Namen Tonfex-Cap-02.txt gewandelt.");
    button(TonfexCap, "TonfexCap", "NK",
           "Notenkonvertierung: Aus Tonfex.txt wird eine Datei Tonfex-Cap.xml hergestellt, die "
           "von Capella gelesen werden kann. Zuvor muss 'Neu' gedrückt worden sein!");
    button(KeineFrage, "KeineFrage", "",
           "Wenn gedrückt, keine Abfrage, ob etwas nicht überschrieben werden soll");
    KeineFrage.back = colors::orange;
    button(Infos, "Infos", "", "Programmübersicht (handgezeichneten Ablaufplan) zeigen");
    button(Kurzubersicht, "Kurzubersicht", "INI",
           "Darstellung der aktuellen Einstellungen. Die Zeilen enthalten Hyperlinks zu den "
           "Einstellungspositionen. Dazu im Editor auf 'F  I  N  D  E  N' (im Clip MUSIK.clb) "
           "klicken!");
    button(Ubersicht, "Ubersicht", "Regel",
           "Erläuterung der aktuell verwendeten Regel. Mit den Pfeiltasten kann man die anderen "
           "Regeln ansehen");
    button(Ubersicht_Notenschreiben, "Ubersicht_Notenschreiben", "E-NK", "");
    button(NeueRegelInfo, "NeueRegelInfo", "",
           "Die Anleitung zum Einbau neuer Regeln wird angezeigt");
    NeueRegelInfo.back = colors::orange;
    button(erklaplus, "erklaplus", "-->", "");
    button(erklaminus, "erklaminus", "<--", "");
    button(Load, "Load", "Load", "");
    button(Speichern, "Speichern", "Store", "");
    button(Command11, "Command11", "D --> C",
           " aktuelles TONFEX-HCR.rpp parken (--> Clipboard HHHHH.rpp)");
    button(Command13, "Command13", "D --> C", "TONFEX.rpp parken (--> Clipboard HHHHH.rpp)");
    button(Command12, "Command12", "D <-- C",
           "geparktes HHHHH.rpp übernehmen (Clipboard HHHHH.rppp --> Tonfex-HCR.rpp - ACHTUNG - "
           "das aktuelle Tonfex-HCR.rpp wird dann überschrieben!)");
    button(Samplemix, "Samplemix", "SM",
           "Samplemix: Mischen von Sample-Sammlungen, die bereits in verschiedenen "
           "Reaperdateien aufgenommen wurden");
    button(neutral, "neutral", "", "Finetune Reset");
    button(MID, "MID", "MID",
           "Die Melodiedatei Tonfex.txt als Standard-MIDI-Datei Tonfex.mid in den Arbeitsordner "
           "schreiben");

    const std::pair<ListBox*, const char*> lists[] = {
        {&inidat, "inidat"}, {&List2, "List2"},
        {&Daten, "Daten"},   {&Zuordnung, "Zuordnung"},
        {&List1, "List1"},   {&lst_sound_list, "lst_sound_list"},
        {&Lini, "Lini"}};
    for (auto [list, name] : lists) {
        list->name = name;
        list->back = colors::white;
    }
    inidat.height = 7540;
    List2.width = 3525;

    txtNot.name = "txtNot";
    txtNot.setText("  T O N F E X");
    txtNot.fore = colors::white;
    Text5.name = "Text5";
    Text5.setText(" ");
    Text5.fore = colors::white;
    Text1.name = "Text1";
    Text1.visible = false;
    Tempobox.name = "Tempobox";
    Tempobox.setText("1");
    Tempobox.tooltip = "Tempofaktor (0.1 ... 20)";
    Tempobox.back = colors::white;
    Lautbox.name = "Lautbox";
    Lautbox.setText("80");
    Lautbox.tooltip = "Lautstärkefaktor (1 ... 100)";
    Lautbox.back = colors::white;

    VScroll1.name = "VScroll1";
    Bender.name = "Bender";
    Label1.name = "Label1";
    Label1.caption = "<--- zuerst hier etwas auswählen !";
    Label2.name = "Label2";
    Label2.caption = "D e r   M e l o d i e n s p i e l e r";
    Label2.fore = colors::white;
    // The mode title and the note display are read from a distance while a melody plays.
    Label2.bold = txtNot.bold = Text5.bold = true;
    Label2.fontSize = 14;
    txtNot.fontSize = Text5.fontSize = 11;
    const char* label3[] = {"DT", "LT", "HT"};
    for (int i = 0; i < 3; ++i) {
        Label3[static_cast<size_t>(i)].name = "Label3";
        Label3[static_cast<size_t>(i)].caption = label3[i];
    }
    Label4.name = "Label4";
    Label5.name = "Label5";
    for (auto& line : Leuchtfarbe) {
        line.name = "Leuchtfarbe";
        line.visible = false;
    }
}

std::vector<Button*> MainControls::buttons() {
    return {&Dateiherstellung,
            &Command1,
            &Startknopf,
            &Stopp,
            &Ende,
            &Reaperstart,
            &Hoeren,
            &Reaperstart2,
            &Command2,
            &Inidateischau,
            &Command3,
            &Dateischau,
            &Command4,
            &Command5,
            &Command9,
            &Command6,
            &Command7,
            &Command8,
            &Command10,
            &Patti,
            &Patti02,
            &CapellaStart,
            &CapellaStart02,
            &Capellanotenwandeln,
            &Capellanotenwandeln2,
            &Midiwandeln,
            &Midiwandeln2,
            &TonfexCap,
            &KeineFrage,
            &Infos,
            &Kurzubersicht,
            &Ubersicht,
            &Ubersicht_Notenschreiben,
            &NeueRegelInfo,
            &erklaplus,
            &erklaminus,
            &Load,
            &Speichern,
            &Command11,
            &Command13,
            &Command12,
            &Samplemix,
            &neutral,
            &MID};
}

std::vector<ListBox*> MainControls::listBoxes() {
    return {&inidat, &List2, &Daten, &Zuordnung, &List1, &lst_sound_list, &Lini};
}

std::vector<TextBox*> MainControls::textBoxes() {
    return {&txtNot, &Text5, &Text1, &Tempobox, &Lautbox};
}

void MainControls::observeWith(ModelObserver* observer) {
    for (auto* list : listBoxes())
        list->observer = observer;
    for (auto* box : textBoxes())
        box->observer = observer;
}

} // namespace tonfex
