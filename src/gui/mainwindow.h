// The main window `main` and the chooser `Linien` in Qt: they draw what the window driver
// reports and hand every click and key to it.
#pragma once

#include "app/app.h"
#include "gui/pianoroll.h"
#include "gui/qt_platform.h"
#include "ui/driver.h"

#include <QWidget>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

class QScrollBar;

namespace tonfex {

class MainWindow : public QWidget {
public:
    MainWindow(App& app, QtEvents& events, QtDialogs* dialogs = nullptr);
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Form_Load and the first drawing of its state; the window runs it after its first paint.
    void start();
    bool started() const { return driver_.started(); }
    // Every widget from the models.
    void sync() { driver_.sync(); }
    // One event of the control `name` through the action table; false when it has no action.
    bool run(std::string_view name, double value = 0) { return driver_.run(name, value); }
    // Commands running now (a click during a wait runs inside the outer command).
    int depth() const { return driver_.depth(); }

    PianoRollWidget* pianoRoll() const { return roll_; }
    QWidget* chooser() const { return chooser_; }

    // Called once when the program is to end, with its exit status.
    std::function<void(int)> onEnd;
    // Called when the state after Form_Load has been drawn (the bench measures it).
    std::function<void()> onStarted;

protected:
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* make(int slot, const ui::Slot& s);
    // What the driver reports, drawn with Qt.
    void paintWidgets();

    QtDialogs* dialogs_;
    QWidget* chooser_ = nullptr;
    ui::Painter painter_;
    ui::Driver driver_;
    std::vector<QWidget*> widgets_; // by slot
    QScrollBar* scroll_ = nullptr;
    QWidget* bender_ = nullptr; // painted by the event filter
    const BendArea* bendModel_ = nullptr;
    PianoRollWidget* roll_ = nullptr;
    QWidget* label5_ = nullptr;
    QWidget* text1_ = nullptr;
    bool startQueued_ = false;
};

} // namespace tonfex
