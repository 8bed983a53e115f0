// The one table that turns an event of a window control into a call of the App.
#pragma once

#include "app/app.h"

#include <string_view>
#include <vector>

namespace tonfex {

// `value` carries what the event brings: the clicked line of a list, the new scroll value,
// the mouse position over the bend area in its scale units. Buttons ignore it.
struct ControlAction {
    std::string_view control;
    void (*run)(App& app, double value);
};

const std::vector<ControlAction>& controlActions();
const ControlAction* findAction(std::string_view control);

// The commands after which the window draws the melody file again.
bool redrawsMelody(std::string_view control);

} // namespace tonfex
