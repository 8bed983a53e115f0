// The settings summary, the rule explanations and the notation summary shown in `inidat`.
#pragma once

#include "controls/models.h"
#include "platform/platform.h"
#include "settings/settings.h"

#include <functional>
#include <string>
#include <vector>

namespace tonfex::help {

// The controls and flags of the main window that the overview pages change.
struct PageView {
    ListBox& inidat;
    ListBox& List2;
    ListBox& Daten;
    ListBox& Zuordnung;
    Label& Label2;
    Label& Label5;
    Button& erklaplus;
    Button& erklaminus;
    bool& LinkFlag;
    bool& InidatGross;
    bool& List2Gross;
    int reducedHeight; // height of `inidat` in twips when reduced
};

// Reads the settings file anew (the window's `Initial`) and returns the record.
using ReadSettings = std::function<const Settings&()>;

inline constexpr int kEnlargedHeight = 7540;
inline constexpr int kNarrowList2 = 3525;
inline constexpr int kWideList2 = 11540;
inline constexpr Rgb kPresetRed{255, 0, 0};
inline constexpr Rgb kSamplemixGreen{66, 153, 51};

// The summary proper for `s`, without the leading empty line.
std::vector<std::string> summaryLines(const Settings& s);
// The red notice after a preset load; `proginfoPath` is the program description's path.
std::vector<std::string> presetNotice(const std::string& proginfoPath);
// The green notice after Samplemix.
const std::vector<std::string>& samplemixNotice();

// The "INI" command: prepares the page, reads the settings with `initial`, shows the notices
// that are asked for (each with its message box) and then the summary. Sets `LinkFlag`.
void Kurzubersicht_Click(PageView& v, const ReadSettings& initial, Dialogs& dialogs,
                         bool presetLoaded, bool samplemix, const std::string& proginfoPath);
// The mouse over the hint label makes it bold and black.
void Label5_MouseMove(Label& label5);

// The number of the last explanation page: one page per rule of the rule table.
int lastPage();
// The explanation page of `index` (0 test mode, 1..lastPage() the rules); empty when none.
const std::vector<std::string>& explanationPage(int index);
// Clears `inidat` and shows the page of `index`; an index without a page changes nothing.
void showExplanation(ListBox& inidat, float index);
// The "Regel" command: the page of the rule TONFINDUNGSMETHODE names, with the arrows.
void Ubersicht_Click(PageView& v, const ReadSettings& initial, float& index);
// The arrows: next and previous page, lastPage() and 0 wrapping round.
void erklaplus_Click(ListBox& inidat, float& index);
void erklaminus_Click(ListBox& inidat, float& index);

// The instructions for building in a new rule.
const std::vector<std::string>& newRuleLines();
void NeueRegelInfo_Click(PageView& v);
// Enlarges `inidat` for a page (Daten and Zuordnung hidden, List2 narrow, bold 12) and empties it.
void enlargeForPage(PageView& v);

// The settings of the MusicXML score export, each line linking to its setting.
std::vector<std::string> notationSummary(const Settings& s);
void Ubersicht_Notenschreiben_Click(PageView& v, const ReadSettings& initial);

// Widens the program description list for reading, or narrows it again.
void List2_Click(PageView& v);

} // namespace tonfex::help
