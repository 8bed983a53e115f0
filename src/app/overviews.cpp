// The window's overview pages: the settings summary, the rule explanations, the notation
// summary and the program description's size.
#include "app/app.h"

#include "help/help.h"

namespace tonfex {

namespace {
help::PageView pageView(App& app) {
    auto& c = app.c;
    return {c.inidat,     c.List2,         c.Daten,        c.Zuordnung,
            c.Label2,     c.Label5,        c.erklaplus,    c.erklaminus,
            app.LinkFlag, app.InidatGross, app.List2Gross, app.reducedHeight};
}

help::ReadSettings initialOf(App& app) {
    return [&app]() -> const Settings& {
        app.Initial();
        return app.s;
    };
}
} // namespace

void App::Kurzubersicht_Click() {
    auto view = pageView(*this);
    help::Kurzubersicht_Click(view, initialOf(*this), platform.dialogs, PresetGeladen,
                              SamplemixFlag, utf8FromPath(proginfoPath()));
    PresetGeladen = false;
    SamplemixFlag = false;
}

void App::Label5_MouseMove() {
    help::Label5_MouseMove(c.Label5);
}

void App::Ubersicht_Click() {
    auto view = pageView(*this);
    help::Ubersicht_Click(view, initialOf(*this), erklaIndex);
}

void App::erklaplus_Click() {
    help::erklaplus_Click(c.inidat, erklaIndex);
}
void App::erklaminus_Click() {
    help::erklaminus_Click(c.inidat, erklaIndex);
}

void App::NeueRegelInfo_Click() {
    auto view = pageView(*this);
    help::NeueRegelInfo_Click(view);
}

void App::Ubersicht_Notenschreiben_Click() {
    auto view = pageView(*this);
    help::Ubersicht_Notenschreiben_Click(view, initialOf(*this));
}

void App::List2_Click() {
    auto view = pageView(*this);
    help::List2_Click(view);
}

} // namespace tonfex
