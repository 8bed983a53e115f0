// Every control of the main window with its place: one table of slots, and the plan that gives
// each slot its box in twips for a client area, so that both windows arrange alike.
#pragma once

#include "controls/window.h"
#include "ui/roll_scene.h"

#include <string>
#include <vector>

namespace tonfex::ui {

// What a slot holds: a frame around a group, a fixed title, or a control of a model.
enum class Kind { Group, Title, Button, List, Text, Entry, Label, Line, Roll, Bend, Scroll };

struct Slot {
    Kind kind;
    Control* model = nullptr; // none for frames, titles and the piano roll
    std::string text;         // a frame's or title's text; the tooltip of roll, bend and scroll
    bool inChooser = false;   // the list of the chooser `Linien`
};

// The slots of both windows in the order the controls are made (the tab order).
std::vector<Slot> mainSlots(MainControls& c);

// The smallest client area the window keeps, in pixels at 96 dots per inch.
inline constexpr int kMinimumWidth = 900, kMinimumHeight = 640;

// The box of every slot for a client area of `width` x `height` twips; `scrollWidth` is the
// system's width of a vertical scroll bar in twips. A slot with nothing to show gets an
// empty box; the chooser's list gets the box inside the chooser of `chooserWidth` x
// `chooserHeight`.
std::vector<Box> plan(const std::vector<Slot>& slots, const MainControls& c, int width, int height,
                      int scrollWidth, int chooserWidth, int chooserHeight);

// Twips (1440 to the inch) to pixels on a screen of `dpi` dots per inch: 15 twips at 96 dpi,
// and back.
int twipsToPixels(int twips, double dpi);
int pixelsToTwips(int pixels, double dpi);
// A box in twips as pixels; adjoining boxes stay adjoining.
Box toPixels(const Box& twips, double dpi);

} // namespace tonfex::ui
