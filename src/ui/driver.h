// The window driver: runs a control's command with one exception policy, compares the models
// with what the widgets show and tells the painter only what changed, places the slots of the
// layout plan, and follows the melody file for the piano roll.
#pragma once

#include "app/app.h"
#include "app/pianoroll.h"
#include "ui/events.h"
#include "ui/layout.h"

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tonfex::ui {

// What a window does with the changes the driver reports, slot by slot; each window fills in
// its own drawing. Optional: laidOut, showTooltip.
struct Painter {
    std::function<void(int slot, const Box& pixels)> place;
    std::function<void()> laidOut;
    std::function<void(int slot, const Control& model)> showLook; // colours and font
    std::function<void(int slot, const std::string& tip)> showTooltip;
    std::function<void(int slot, bool enabled, bool visible)> showState;
    // A button's or label's caption, a text box's text.
    std::function<void(int slot, const std::string& text)> showCaption;
    // The list's lines from `from` on; 0: the list is emptied first.
    std::function<void(int slot, const std::vector<std::string>& lines, size_t from)> showLines;
    std::function<void(int slot, int row)> showSelection; // -1: none
    std::function<void(const ScrollBar& model)> showScroll;
    std::function<void()> showBend; // the marker moved
    // The caption of the main window or of the chooser.
    std::function<void(bool chooser, const std::string& caption)> showTitle;
    std::function<void(bool visible)> showChooser;
    std::function<void(const PianoRoll& roll)> showRoll;
    std::function<void(int tone)> showSounding; // 1-based, 0: none
    std::function<void()> showPrinted;
    // The program ends with `status`; the windows go.
    std::function<void(int status)> ended;
};

// The bend area's value at height `y` of a box `height` pixels high: the top is the highest.
double bendValueAt(const BendArea& m, int y, int height);
// The height of the marker line in such a box; -1 when there is none.
int bendMarkerY(const BendArea& m, int height);

// A scroll bar's requests: an arrow, the track beside the thumb, the thumb, an end.
enum class ScrollRequest { LineUp, LineDown, PageUp, PageDown, Thumb, Top, Bottom };
// Where a request moves a bar at `position` (counted downwards from its top, `first` to
// `last`; `track`: where the thumb is dragged), kept within the model; none when the value
// stays.
std::optional<int> scrollTarget(const ScrollBar& m, ScrollRequest request, int position,
                                int track, int first, int last);

class Driver {
public:
    // Draws the models before `events` lets the window handle its events, until it goes.
    Driver(App& app, Painter& painter, WindowEvents& events);
    ~Driver();
    Driver(const Driver&) = delete;
    Driver& operator=(const Driver&) = delete;

    // Draws the models before each box of `dialogs` too, until the driver goes.
    void drawBeforeDialogs(BoxDialogs& dialogs);

    const std::vector<Slot>& places() const { return slots_; }
    int slotOf(const Control& model) const; // -1: none
    std::string tooltip(int slot) const;

    // The client areas in pixels, the screen's dots per inch and the scroll bar's width.
    void resize(int width, int height, double dpi, int scrollWidth);
    void resizeChooser(int width, int height);

    // Form_Load and the first drawing of its state; once.
    void start();
    // Every change of the models to the painter.
    void sync();
    // The idle window's look at the melody file.
    void idle();
    // One event of the control `name` through the action table; false when it has no action
    // or the control's command is still running.
    bool run(std::string_view name, double value = 0);
    // Runs `call` as the command `name`: what it throws ends the command, or the program.
    bool invoke(std::string_view name, const std::function<void()>& call);

    // Input that the models keep before the command runs.
    void clicked(int slot);
    void picked(int slot, int row);
    void edited(int slot, std::string text);
    void scrolled(int value);
    void bent(int y, int height);
    void deletePressed(); // in `Text1`
    void chooserClosed();
    // The window is asked to close: true when it may go now; else the running command ends
    // first and the program after it.
    bool closeRequested();

    int depth() const { return depth_; }
    bool started() const { return started_; }
    bool ending() const { return ending_; }
    bool syncing() const { return syncing_; }
    const PianoRoll& roll() const { return roll_; }
    // The texts printed on the window's surface.
    const std::vector<std::string>& printed() const { return c_.printed; }

private:
    // What a widget shows now, so that a sync touches only what changed.
    struct Shown {
        bool known = false;
        std::string caption, tooltip;
        Rgb back, fore;
        bool visible = true, enabled = true, bold = false;
        int fontSize = 0;
        std::vector<std::string> lines;
        int selected = -2;
        Box box{-1, -1, -1, -1}; // where it was placed; nowhere yet
    };
    void endProgram();
    void reloadMelody();
    void checkMelody();
    void syncSlot(int slot, Shown& shown);
    bool enabledOf(const Slot& slot) const;
    void layout();

    App& app_;
    MainControls& c_;
    Painter& painter_;
    WindowEvents& events_;
    BoxDialogs* dialogs_ = nullptr;
    std::vector<Slot> slots_;
    std::vector<Shown> shown_;

    int width_ = 0, height_ = 0, chooserWidth_ = 0, chooserHeight_ = 0, scrollWidth_ = 0;
    double dpi_ = 96;
    struct ScrollShown {
        int min = 0, max = 0, value = 0, small = 0, large = 0;
        bool operator==(const ScrollShown&) const = default;
    };
    std::optional<ScrollShown> scroll_; // nothing drawn yet
    struct BendShown {
        int min = 0, max = 0;
        double marker = -1;
        bool operator==(const BendShown&) const = default;
    } bend_;
    std::string caption_ = "\x01", chooserCaption_ = "\x01"; // never a caption: drawn at once
    bool chooserVisible_ = false;
    std::size_t printed_ = 0;

    int depth_ = 0;
    std::vector<std::string> running_;
    bool started_ = false, ending_ = false, syncing_ = false;
    int endStatus_ = 0;

    PianoRoll roll_;
    int sounding_ = 0;
    FileStamp melodyStamp_; // of the melody file the roll shows
    std::chrono::steady_clock::time_point melodyChecked_{};
};

} // namespace tonfex::ui
