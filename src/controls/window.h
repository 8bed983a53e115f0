// Every control of the main window `main` and of the chooser `Linien`, with their start values.
#pragma once

#include "controls/models.h"

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace tonfex {

struct MainControls {
    MainControls();
    MainControls(const MainControls&) = delete;
    MainControls& operator=(const MainControls&) = delete;

    std::string caption;              // the window title
    std::vector<std::string> printed; // texts printed on the window's surface

    Button Dateiherstellung, Command1, Startknopf, Stopp, Ende, Reaperstart, Reaperstart2;
    Button Command2, Inidateischau, Command3, Dateischau, Command4, Command5, Command9;
    Button Command6, Command7, Command8, Command10, Patti, Patti02, CapellaStart, CapellaStart02;
    Button Capellanotenwandeln, Capellanotenwandeln2, Midiwandeln, Midiwandeln2, TonfexCap, KeineFrage, Infos, Kurzubersicht;
    Button Ubersicht, Ubersicht_Notenschreiben, NeueRegelInfo, erklaplus, erklaminus;
    Button Load, Speichern, Command11, Command13, Command12, Samplemix, neutral;
    // The melody as a Standard MIDI File; usable when `Startknopf` is.
    Button MID;
    // Tonfex.rpp rendered to a WAV file and played; shown with `Reaperstart`.
    Button Hoeren;

    ListBox inidat, List2, Daten, Zuordnung, List1, lst_sound_list;
    TextBox txtNot, Text5, Text1, Tempobox, Lautbox;
    ScrollBar VScroll1;
    BendArea Bender;
    Label Label1, Label2, Label4, Label5;
    std::array<Label, 3> Label3;
    std::array<Line, 6> Leuchtfarbe;

    // The chooser window `Linien` (caption "Auswahl") and its list.
    std::string liniencaption = "Auswahl";
    bool linienVisible = false;
    ListBox Lini;

    // Every button, for loops over all of them (drawing, the command line's listing).
    std::vector<Button*> buttons();
    std::vector<ListBox*> listBoxes();
    std::vector<TextBox*> textBoxes();
    // Points every list and text box at `observer` (nullptr to detach).
    void observeWith(ModelObserver* observer);
};

} // namespace tonfex
