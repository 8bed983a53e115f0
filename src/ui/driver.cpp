#include "ui/driver.h"

#include "app/commands.h"
#include "core/errors.h"

#include <algorithm>
#include <cmath>

namespace tonfex::ui {

double bendValueAt(const BendArea& m, int y, int height) {
    double f = height > 1 ? std::clamp(y / double(height - 1), 0.0, 1.0) : 0.0;
    return m.scaleMax - f * (m.scaleMax - m.scaleMin);
}

int bendMarkerY(const BendArea& m, int height) {
    if (m.scaleMax == m.scaleMin || m.markerY < 0) return -1;
    double f = (m.scaleMax - m.markerY) / double(m.scaleMax - m.scaleMin);
    return static_cast<int>(std::lround(f * (height - 1)));
}

std::optional<int> scrollTarget(const ScrollBar& m, ScrollRequest request, int position,
                                int track, int first, int last) {
    switch (request) {
    case ScrollRequest::LineUp: position -= m.smallChange; break;
    case ScrollRequest::LineDown: position += m.smallChange; break;
    case ScrollRequest::PageUp: position -= m.largeChange; break;
    case ScrollRequest::PageDown: position += m.largeChange; break;
    case ScrollRequest::Thumb: position = track; break;
    case ScrollRequest::Top: position = first; break;
    case ScrollRequest::Bottom: position = last; break;
    }
    position = std::clamp(position, m.min, m.max);
    if (m.max + m.min - position == m.value) return std::nullopt;
    return position;
}

Driver::Driver(App& app, Painter& painter, WindowEvents& events)
    : app_(app), c_(app.c), painter_(painter), events_(events), slots_(mainSlots(app.c)),
      shown_(slots_.size()) {
    roll_.error = "noch nicht gelesen";
    events_.beforeProcess = [this] { sync(); };
}

Driver::~Driver() {
    events_.beforeProcess = nullptr;
    if (dialogs_) dialogs_->beforeDialog = nullptr;
}

void Driver::drawBeforeDialogs(BoxDialogs& dialogs) {
    dialogs_ = &dialogs;
    dialogs.beforeDialog = [this] { sync(); };
}

int Driver::slotOf(const Control& model) const {
    for (size_t i = 0; i < slots_.size(); ++i)
        if (slots_[i].model == &model) return static_cast<int>(i);
    return -1;
}

std::string Driver::tooltip(int slot) const {
    const Slot& s = slots_[static_cast<size_t>(slot)];
    if (s.kind == Kind::Roll || s.kind == Kind::Bend || s.kind == Kind::Scroll) return s.text;
    return s.model ? s.model->tooltip : std::string();
}

bool Driver::enabledOf(const Slot& s) const {
    switch (s.kind) {
    case Kind::Button:
        // The MIDI file is written from the melody that Play would play.
        return s.model->enabled && findControl(s.model->name) != nullptr &&
               (s.model != &c_.MID || c_.Startknopf.enabled);
    case Kind::Bend:
        return s.model->enabled && findControl(s.model->name) != nullptr;
    default:
        return s.model ? s.model->enabled : true;
    }
}

void Driver::resize(int width, int height, double dpi, int scrollWidth) {
    width_ = width;
    height_ = height;
    dpi_ = dpi > 0 ? dpi : 96;
    scrollWidth_ = scrollWidth;
    layout();
}

void Driver::resizeChooser(int width, int height) {
    chooserWidth_ = width;
    chooserHeight_ = height;
    layout();
}

void Driver::layout() {
    if (width_ <= 0) return; // not on the screen yet
    auto boxes = plan(slots_, c_, pixelsToTwips(width_, dpi_), pixelsToTwips(height_, dpi_),
                      pixelsToTwips(scrollWidth_, dpi_), pixelsToTwips(chooserWidth_, dpi_),
                      pixelsToTwips(chooserHeight_, dpi_));
    bool moved = false;
    for (size_t i = 0; i < slots_.size(); ++i) {
        Box box = toPixels(boxes[i], dpi_);
        if (box == shown_[i].box) continue;
        shown_[i].box = box;
        painter_.place(static_cast<int>(i), box);
        moved = true;
    }
    if (moved && painter_.laidOut) painter_.laidOut();
}

void Driver::syncSlot(int i, Shown& s) {
    const Slot& slot = slots_[static_cast<size_t>(i)];
    if (!slot.model) {
        if (!s.known && slot.kind == Kind::Roll && painter_.showTooltip)
            painter_.showTooltip(i, slot.text);
        s.known = true;
        return;
    }
    const Control& m = *slot.model;
    bool enabled = enabledOf(slot);
    bool fixed = slot.kind == Kind::Bend || slot.kind == Kind::Scroll;
    if (!fixed && (!s.known || s.back != m.back || s.fore != m.fore || s.bold != m.bold ||
                   s.fontSize != m.fontSize))
        painter_.showLook(i, m);
    std::string tip = tooltip(i);
    if ((!s.known || s.tooltip != tip) && painter_.showTooltip) painter_.showTooltip(i, tip);
    if (!s.known || s.enabled != enabled || s.visible != m.visible)
        painter_.showState(i, enabled, m.visible);
    const std::string* caption = &m.caption;
    if (slot.kind == Kind::Text || slot.kind == Kind::Entry)
        caption = &static_cast<const TextBox&>(m).text();
    if (slot.kind != Kind::List && !fixed && (!s.known || s.caption != *caption)) {
        s.caption = *caption;
        painter_.showCaption(i, s.caption);
    }
    s.known = true;
    s.back = m.back;
    s.fore = m.fore;
    s.bold = m.bold;
    s.fontSize = m.fontSize;
    s.tooltip = tip;
    s.enabled = enabled;
    s.visible = m.visible;
    if (slot.kind != Kind::List) return;
    const auto& list = static_cast<const ListBox&>(m);
    const auto& lines = list.lines();
    if (lines != s.lines) {
        // Lines added at the end are only appended: a play's growing list does not flicker.
        bool appended = lines.size() > s.lines.size() &&
                        std::equal(s.lines.begin(), s.lines.end(), lines.begin());
        painter_.showLines(i, lines, appended ? s.lines.size() : 0);
        s.lines = lines;
        s.selected = -2;
    }
    if (s.selected != list.selected) {
        s.selected = list.selected;
        painter_.showSelection(i, s.selected < list.count() ? s.selected : -1);
    }
}

void Driver::sync() {
    if (syncing_) return;
    syncing_ = true;
    if (caption_ != c_.caption) {
        caption_ = c_.caption;
        painter_.showTitle(false, caption_);
    }
    for (size_t i = 0; i < slots_.size(); ++i)
        syncSlot(static_cast<int>(i), shown_[i]);

    const ScrollBar& sb = c_.VScroll1;
    ScrollShown scroll{sb.min, sb.max, sb.value, sb.smallChange, sb.largeChange};
    if (scroll_ != scroll) {
        painter_.showScroll(sb);
        scroll_ = scroll;
    }
    BendShown bend{c_.Bender.scaleMin, c_.Bender.scaleMax, c_.Bender.markerY};
    if (!(bend == bend_)) {
        bend_ = bend;
        painter_.showBend();
    }
    layout(); // the plan follows the visible controls and the lists' sizes

    // A play shows its melody at once: the file is looked at a few times a second.
    auto now = std::chrono::steady_clock::now();
    if (depth_ > 0 && now - melodyChecked_ > std::chrono::milliseconds(250)) {
        melodyChecked_ = now;
        checkMelody();
    }
    if (int sounding = depth_ > 0 ? app_.soundingTone : 0; sounding != sounding_) {
        sounding_ = sounding;
        painter_.showSounding(sounding_);
    }
    if (printed_ != c_.printed.size()) {
        printed_ = c_.printed.size();
        painter_.showPrinted();
    }
    if (chooserCaption_ != c_.liniencaption) {
        chooserCaption_ = c_.liniencaption;
        painter_.showTitle(true, chooserCaption_);
    }
    if (chooserVisible_ != c_.linienVisible) {
        chooserVisible_ = c_.linienVisible;
        painter_.showChooser(chooserVisible_);
    }
    syncing_ = false;
}

void Driver::reloadMelody() {
    // The stamp is taken first: a file that changes during the read is read again.
    melodyStamp_ = fileStamp(app_.folder.path(names::melody));
    roll_ = readPianoRoll(app_.platform.files, app_.folder, app_.decimal);
    painter_.showRoll(roll_);
}

void Driver::checkMelody() {
    if (!(fileStamp(app_.folder.path(names::melody)) == melodyStamp_)) reloadMelody();
}

void Driver::idle() {
    if (started_ && !ending_ && depth_ == 0) checkMelody();
}

bool Driver::invoke(std::string_view name, const std::function<void()>& call) {
    if (ending_) return false;
    // A control whose command is still running (its click came during a wait) waits for it.
    if (std::find(running_.begin(), running_.end(), name) != running_.end()) return false;
    running_.emplace_back(name);
    ++depth_;
    try {
        call();
    } catch (const CommandEnd&) {
        // The command showed its message; the window goes on.
    } catch (const ProgramEnd&) {
        // "Ende" is the ordinary way out; any other end is a "Nein" to a fatal question.
        if (!events_.endRequested) endStatus_ = name == "Ende" ? 0 : 1;
        events_.endRequested = true;
    } catch (const std::exception& e) {
        app_.platform.dialogs.tell("FEHLER", std::string("Unerwarteter Fehler: ") + e.what());
    } catch (...) {
        app_.platform.dialogs.tell("FEHLER", "Unerwarteter Fehler");
    }
    --depth_;
    running_.pop_back();
    if (events_.endRequested) {
        // Inside another command the end unwinds that command at its next wait.
        if (depth_ == 0) endProgram();
        return true;
    }
    if (const Command* command = findControl(name); command && command->redrawsMelody)
        reloadMelody();
    sync();
    return true;
}

bool Driver::run(std::string_view name, double value) {
    const Command* command = findControl(name);
    if (!command || !command->run) return false;
    return invoke(name, [&] { command->run(app_, Call{{}, value}); });
}

void Driver::clicked(int slot) {
    if (!syncing_) run(slots_[static_cast<size_t>(slot)].model->name);
}

void Driver::picked(int slot, int row) {
    auto& list = static_cast<ListBox&>(*slots_[static_cast<size_t>(slot)].model);
    if (syncing_ || row < 0) return;
    list.selected = row;
    shown_[static_cast<size_t>(slot)].selected = row;
    run(list.name, row);
}

void Driver::edited(int slot, std::string text) {
    if (syncing_) return;
    shown_[static_cast<size_t>(slot)].caption = text;
    static_cast<TextBox&>(*slots_[static_cast<size_t>(slot)].model).setText(std::move(text));
}

void Driver::scrolled(int value) {
    if (syncing_ || value == c_.VScroll1.value) return;
    c_.VScroll1.value = value;
    if (scroll_) scroll_->value = value; // the widget shows it already
    run(c_.VScroll1.name, value);
}

void Driver::bent(int y, int height) {
    const Shown& shown = shown_[static_cast<size_t>(slotOf(c_.Bender))];
    if (c_.Bender.scaleMax == c_.Bender.scaleMin || !shown.enabled) return;
    run(c_.Bender.name, bendValueAt(c_.Bender, y, height));
}

void Driver::deletePressed() {
    app_.Text1_KeyDown(46); // the Delete key's code: prints on the window's surface
    sync();
}

void Driver::chooserClosed() {
    c_.linienVisible = false;
    chooserVisible_ = false;
}

void Driver::start() {
    if (started_) return;
    started_ = true;
    invoke("Form_Load", [this] { app_.Form_Load(); });
    reloadMelody();
    sync();
}

void Driver::endProgram() {
    if (ending_) return;
    ending_ = true;
    events_.endRequested = false;
    try {
        app_.Form_Unload();
    } catch (...) {
        // Closing the devices is all that is left to do; nothing more can be reported.
    }
    painter_.ended(endStatus_);
}

bool Driver::closeRequested() {
    if (ending_) return true;
    endStatus_ = 0;
    if (depth_ > 0) {
        // A running command ends at its next wait; the window closes after it.
        app_.stopPressed = true;
        events_.endRequested = true;
        return false;
    }
    endProgram();
    return true;
}

} // namespace tonfex::ui
