// The main window `main` and the chooser `Linien`: they draw the control models and send every
// event of a control through the action table to the App.
#pragma once

#include "app/app.h"
#include "gui/pianoroll.h"
#include "gui/qt_platform.h"

#include <QWidget>

#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QScrollBar;
class QFrame;

namespace tonfex {

// Twips (1440 to the inch) to pixels on a screen of `dpi` dots per inch: 15 twips at 96 dpi.
int twipsToPixels(int twips, double dpi);

class BendWidget;
class WorkArea;

class MainWindow : public QWidget {
public:
    MainWindow(App& app, QtEvents& events, QtDialogs* dialogs = nullptr);
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Form_Load and the first drawing of its state; the window runs it after its first paint.
    void start();
    bool started() const { return started_; }
    // Every widget from the models.
    void sync();
    // One event of the control `name` through the action table; false when it has no action.
    bool run(std::string_view name, double value = 0);
    // Reads the melody file again for the piano roll.
    void reloadMelody();
    // Commands running now (a click during a wait runs inside the outer command).
    int depth() const { return depth_; }

    PianoRollWidget* pianoRoll() const { return roll_; }
    QWidget* chooser() const { return chooser_; }
    int pixels(int twips) const;

    // Called once when the program is to end, with its exit status.
    std::function<void(int)> onEnd;
    // Called when the state after Form_Load has been drawn (the bench measures it).
    std::function<void()> onStarted;

protected:
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // What a widget shows now, so that a sync touches only what changed.
    struct Shown {
        bool known = false;
        std::string caption, tooltip;
        Rgb back, fore;
        bool visible = true, enabled = true, bold = false;
        int fontSize = 0;
    };
    struct ButtonView {
        Button* model;
        QPushButton* widget;
        Shown shown;
    };
    struct ListView {
        ListBox* model;
        QListWidget* widget;
        Shown shown;
        std::vector<std::string> lines;
        int selected = -2;
    };
    struct TextView {
        TextBox* model;
        QLineEdit* widget;
        Shown shown;
        std::string text;
    };
    struct LabelView {
        Control* model;
        QWidget* widget;
        Shown shown;
    };

    QPushButton* makeButton(Button& model, QWidget* parent);
    QPushButton* buttonOf(const Button& model) const;
    QListWidget* makeList(ListBox& model, QWidget* parent);
    QLineEdit* makeText(TextBox& model, QWidget* parent, bool readOnly);
    QLabel* makeLabel(Label& model, QWidget* parent);
    QWidget* buildLeftPanel();
    QWidget* buildHeader();
    QWidget* buildMidiGroup();
    void buildChooser();
    void layoutWorkArea();
    void apply(QWidget* widget, const Control& model, Shown& shown, bool enabled, bool labelLike);
    void syncLists();
    void endProgram();
    // Reads the melody file again when its size or modification time changed.
    void checkMelody();
    bool invoke(std::string_view name, const std::function<void()>& call);

    App& app_;
    MainControls& c_;
    QtEvents& events_;
    QtDialogs* dialogs_;

    std::vector<ButtonView> buttons_;
    std::vector<ListView> lists_;
    std::vector<TextView> texts_;
    std::vector<LabelView> labels_;
    QPushButton* mid_ = nullptr;
    QScrollBar* scroll_ = nullptr;
    BendWidget* bender_ = nullptr;
    WorkArea* work_ = nullptr;
    PianoRollWidget* roll_ = nullptr;
    QWidget* chooser_ = nullptr;
    QListWidget* lini_ = nullptr;
    QListWidget* inidat_ = nullptr;
    QListWidget* list2_ = nullptr;
    QListWidget* daten_ = nullptr;
    QListWidget* zuordnung_ = nullptr;
    QLabel* label5_ = nullptr;
    QLineEdit* text1_ = nullptr;

    struct Geometry {
        int list2Width = -1, inidatHeight = -1;
        bool list2 = false, daten = false, zuordnung = false, label5 = false, inidat = false;
        bool operator==(const Geometry&) const = default;
    } laidOut_;
    struct ScrollShown {
        int min = 0, max = 0, value = 0, small = 0, large = 0;
        bool operator==(const ScrollShown&) const = default;
    } scrollShown_;
    bool scrollKnown_ = false;

    std::string caption_;
    std::string chooserCaption_;
    bool chooserVisible_ = false;
    int depth_ = 0;
    std::vector<std::string> running_;
    bool started_ = false;
    bool startQueued_ = false;
    bool ending_ = false;
    bool syncing_ = false;
    int endStatus_ = 0;
    std::chrono::steady_clock::time_point melodyChecked_{};
    FileStamp melodyStamp_; // of the melody file the roll shows
};

} // namespace tonfex
