#include "gui/mainwindow.h"

#include "app/actions.h"
#include "core/errors.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace tonfex {

namespace {

QString qs(const std::string& text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}
QColor qc(Rgb rgb) {
    return QColor(rgb.r, rgb.g, rgb.b);
}

// The power symbol of `Command1`, which has no caption.
QIcon powerIcon() {
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(30, 30, 30), 3.5, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(6, 7, 20, 20), 120 * 16, 300 * 16);
    p.drawLine(QPointF(16, 4), QPointF(16, 15));
    return QIcon(pm);
}

} // namespace

int twipsToPixels(int twips, double dpi) {
    return static_cast<int>(std::lround(twips * dpi / 1440.0));
}

// The area of the settings list, the description list and the two play lists; their sizes
// come from the models, so the area places them itself.
class WorkArea : public QWidget {
public:
    explicit WorkArea(QWidget* parent) : QWidget(parent) {}
    std::function<void()> onResize;

protected:
    void resizeEvent(QResizeEvent*) override {
        if (onResize) onResize();
    }
};

// The picture box `Bender`: its vertical position in scale units is the bend value, the top
// being the highest; a horizontal line marks the last position.
class BendWidget : public QWidget {
public:
    BendWidget(BendArea& model, QWidget* parent) : QWidget(parent), model_(model) {
        setMouseTracking(true);
        setObjectName(qs(model.name));
        setMinimumSize(40, 60);
    }
    std::function<void(double)> onMove;

    double valueAt(int y) const {
        double f = height() > 1 ? std::clamp(y / double(height() - 1), 0.0, 1.0) : 0.0;
        return model_.scaleMax - f * (model_.scaleMax - model_.scaleMin);
    }
    int yOf(double value) const {
        double span = model_.scaleMax - model_.scaleMin;
        return static_cast<int>(std::lround((model_.scaleMax - value) / span * (height() - 1)));
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), qc(model_.back));
        p.setPen(QColor(90, 90, 90));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
        if (model_.scaleMax != model_.scaleMin && model_.markerY >= 0) {
            p.setPen(QPen(qc(model_.fore), 2));
            int y = yOf(model_.markerY);
            p.drawLine(0, y, width(), y);
        }
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        if (model_.scaleMax == model_.scaleMin || !onMove || !isEnabled()) return;
        onMove(valueAt(static_cast<int>(event->position().y())));
        update();
    }

private:
    BendArea& model_;
};

MainWindow::MainWindow(App& app, QtEvents& events, QtDialogs* dialogs)
    : app_(app), c_(app.c), events_(events), dialogs_(dialogs) {
    setObjectName("main");
    QPalette pal = palette();
    pal.setColor(QPalette::Window, qc(colors::grey));
    setPalette(pal);
    setAutoFillBackground(true);

    auto* outer = new QHBoxLayout(this);
    outer->setContentsMargins(8, 8, 8, 8);
    outer->setSpacing(8);
    outer->addWidget(buildLeftPanel(), 0);

    auto* right = new QVBoxLayout;
    right->setSpacing(6);
    right->addWidget(buildHeader(), 0);
    work_ = new WorkArea(this);
    inidat_ = makeList(c_.inidat, work_);
    list2_ = makeList(c_.List2, work_);
    daten_ = makeList(c_.Daten, work_);
    zuordnung_ = makeList(c_.Zuordnung, work_);
    label5_ = makeLabel(c_.Label5, work_);
    label5_->setWordWrap(true);
    label5_->setMouseTracking(true);
    label5_->installEventFilter(this);
    // The settings list's full height and the hint below it; the rest goes to the roll.
    work_->setFixedHeight(pixels(7540) + 36);
    work_->onResize = [this] { layoutWorkArea(); };
    right->addWidget(work_, 0);

    auto* bottom = new QHBoxLayout;
    bottom->setSpacing(8);
    roll_ = new PianoRollWidget(this);
    roll_->setObjectName("Pianoroll");
    roll_->setToolTip(QStringLiteral("Die Melodiedatei Tonfex.txt: Tonhöhe über der Zeit, "
                                     "dunkler = lauter; der klingende Ton ist rot markiert"));
    bottom->addWidget(roll_, 1);
    bottom->addWidget(buildMidiGroup(), 0);
    right->addLayout(bottom, 1);
    outer->addLayout(right, 1);

    buildChooser();
    setTabOrder(buttonOf(c_.Startknopf), buttonOf(c_.Stopp)); // Stopp follows Startknopf
    buttonOf(c_.Dateiherstellung)->setFocus();                // "Neu" takes the first key

    // Form_Load follows the first paint; a window that is not painted soon starts anyway.
    QTimer::singleShot(1000, this, [this] { start(); });
    events_.beforeProcess = [this] { sync(); };
    // An idle window follows the melody file as the composer edits it; a running command
    // looks at it in its waits (sync).
    auto* melodyPoll = new QTimer(this);
    connect(melodyPoll, &QTimer::timeout, this, [this] {
        if (started_ && !ending_ && depth_ == 0) checkMelody();
    });
    melodyPoll->start(500);
    if (dialogs_) {
        dialogs_->parent = this;
        dialogs_->beforeDialog = [this] { sync(); };
    }
    sync();
}

MainWindow::~MainWindow() {
    events_.beforeProcess = nullptr;
    if (dialogs_) {
        dialogs_->beforeDialog = nullptr;
        dialogs_->parent = nullptr;
    }
    delete chooser_;
}

QPushButton* MainWindow::buttonOf(const Button& model) const {
    for (const auto& view : buttons_)
        if (view.model == &model) return view.widget;
    return nullptr;
}

int MainWindow::pixels(int twips) const {
    return twipsToPixels(twips, logicalDpiY());
}

QPushButton* MainWindow::makeButton(Button& model, QWidget* parent) {
    auto* b = new QPushButton(parent);
    b->setObjectName(qs(model.name));
    b->setAutoDefault(false);
    b->setMinimumHeight(30);
    b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    std::string name = model.name;
    connect(b, &QPushButton::clicked, this, [this, name] { run(name); });
    buttons_.push_back({&model, b, {}});
    return b;
}

QListWidget* MainWindow::makeList(ListBox& model, QWidget* parent) {
    auto* l = new QListWidget(parent);
    l->setObjectName(qs(model.name));
    l->setUniformItemSizes(true);
    l->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    std::string name = model.name;
    ListBox* m = &model;
    connect(l, &QListWidget::itemClicked, this, [this, name, m, l](QListWidgetItem* item) {
        int row = l->row(item);
        m->selected = row;
        run(name, row);
    });
    lists_.push_back({&model, l, {}, {}, -2});
    return l;
}

QLineEdit* MainWindow::makeText(TextBox& model, QWidget* parent, bool readOnly) {
    auto* t = new QLineEdit(parent);
    t->setObjectName(qs(model.name));
    t->setReadOnly(readOnly);
    t->setFrame(true);
    TextBox* m = &model;
    if (!readOnly)
        connect(t, &QLineEdit::textEdited, this,
                [m](const QString& text) { m->setText(text.toStdString()); });
    texts_.push_back({&model, t, {}, {}});
    return t;
}

QLabel* MainWindow::makeLabel(Label& model, QWidget* parent) {
    auto* l = new QLabel(parent);
    l->setObjectName(qs(model.name));
    labels_.push_back({&model, l, {}});
    return l;
}

QWidget* MainWindow::buildLeftPanel() {
    auto* panel = new QWidget(this);
    panel->setFixedWidth(300);
    auto* v = new QVBoxLayout(panel);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(6);
    auto group = [&](const char* title) {
        auto* box = new QGroupBox(QString::fromUtf8(title), panel);
        auto* grid = new QGridLayout(box);
        grid->setContentsMargins(6, 4, 6, 6);
        grid->setHorizontalSpacing(4);
        grid->setVerticalSpacing(4);
        for (int col = 0; col < 3; ++col)
            grid->setColumnStretch(col, 1);
        if (v->count() > 0) v->addStretch(1); // the groups spread over the panel's height
        v->addWidget(box);
        return std::pair{box, grid};
    };
    // Two buttons of which each mode shows one share a place.
    auto pair = [&](QWidget* parent, Button& a, Button& b) {
        auto* holder = new QWidget(parent);
        auto* h = new QHBoxLayout(holder);
        h->setContentsMargins(0, 0, 0, 0);
        h->setSpacing(4);
        h->addWidget(makeButton(a, holder));
        h->addWidget(makeButton(b, holder));
        return holder;
    };

    auto [play, g1] = group("Erzeugen und Abspielen");
    g1->addWidget(makeButton(c_.Dateiherstellung, play), 0, 0);
    g1->addWidget(pair(play, c_.Startknopf, c_.Command1), 0, 1);
    g1->addWidget(pair(play, c_.Stopp, c_.Reaperstart), 0, 2);
    mid_ = new QPushButton(QStringLiteral("MID"), play);
    mid_->setObjectName("MID");
    mid_->setToolTip(QStringLiteral("Die Melodiedatei Tonfex.txt als Standard-MIDI-Datei "
                                    "Tonfex.mid in den Arbeitsordner schreiben"));
    mid_->setAutoDefault(false);
    mid_->setMinimumHeight(30);
    mid_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    connect(mid_, &QPushButton::clicked, this, [this] { run("MID"); });
    g1->addWidget(mid_, 1, 0);
    g1->addWidget(makeButton(c_.Ende, play), 1, 1);

    auto [files, g2] = group("Dateien im Editor");
    Button* fileButtons[] = {&c_.Command2,   &c_.Inidateischau, &c_.Command4, &c_.Command3,
                             &c_.Dateischau, &c_.Command8,      &c_.Command6, &c_.Command7,
                             &c_.Command10,  &c_.Command5,      &c_.Command9};
    for (int i = 0; i < 11; ++i)
        g2->addWidget(makeButton(*fileButtons[i], files), i / 3, i % 3);

    auto [patterns, g3] = group("Patterns und Capella");
    Button* patternButtons[] = {&c_.CapellaStart,   &c_.Capellanotenwandeln,      &c_.Patti,
                                &c_.CapellaStart02, &c_.Capellanotenwandeln2,     &c_.Patti02,
                                &c_.TonfexCap,      &c_.Ubersicht_Notenschreiben, &c_.KeineFrage};
    for (int i = 0; i < 9; ++i)
        g3->addWidget(makeButton(*patternButtons[i], patterns), i / 3, i % 3);

    auto [sampler, g4] = group("Sampler, REAPER und Presets");
    g4->addWidget(makeButton(c_.Reaperstart2, sampler), 0, 0);
    g4->addWidget(makeButton(c_.Samplemix, sampler), 0, 1);
    g4->addWidget(makeButton(c_.Command11, sampler), 1, 0);
    g4->addWidget(makeButton(c_.Command13, sampler), 1, 1);
    g4->addWidget(makeButton(c_.Command12, sampler), 1, 2);
    g4->addWidget(makeButton(c_.Speichern, sampler), 2, 0);
    g4->addWidget(makeButton(c_.Load, sampler), 2, 1);

    auto [help, g5] = group("Übersichten und Hilfe");
    g5->addWidget(makeButton(c_.Kurzubersicht, help), 0, 0);
    g5->addWidget(makeButton(c_.Ubersicht, help), 0, 1);
    g5->addWidget(makeButton(c_.NeueRegelInfo, help), 0, 2);
    g5->addWidget(makeButton(c_.erklaminus, help), 1, 0);
    g5->addWidget(makeButton(c_.erklaplus, help), 1, 1);
    g5->addWidget(makeButton(c_.Infos, help), 1, 2);

    // Buttons without a caption show a symbol; their tooltips say what they do.
    for (auto& view : buttons_) {
        if (!view.model->caption.empty()) continue;
        if (view.model == &c_.Command1) view.widget->setIcon(powerIcon());
        if (view.model == &c_.KeineFrage)
            view.widget->setIcon(style()->standardIcon(QStyle::SP_MessageBoxQuestion));
        if (view.model == &c_.Infos)
            view.widget->setIcon(style()->standardIcon(QStyle::SP_MessageBoxInformation));
        if (view.model == &c_.NeueRegelInfo)
            view.widget->setIcon(style()->standardIcon(QStyle::SP_FileDialogInfoView));
    }
    return panel;
}

QWidget* MainWindow::buildHeader() {
    auto* header = new QWidget(this);
    auto* h = new QHBoxLayout(header);
    h->setContentsMargins(0, 0, 0, 0);
    h->setSpacing(6);
    QLabel* title = makeLabel(c_.Label2, header);
    title->setMinimumWidth(330);
    h->addWidget(title, 1);
    QLineEdit* note = makeText(c_.txtNot, header, true);
    note->setFixedWidth(190);
    h->addWidget(note);
    QLineEdit* name = makeText(c_.Text5, header, true);
    name->setFixedWidth(70);
    h->addWidget(name);
    for (auto& label : c_.Label3)
        h->addWidget(makeLabel(label, header));
    text1_ = makeText(c_.Text1, header, true);
    text1_->setFixedWidth(110);
    text1_->installEventFilter(this);
    h->addWidget(text1_);
    h->addWidget(makeLabel(c_.Label4, header));
    for (auto& line : c_.Leuchtfarbe) {
        auto* frame = new QFrame(header);
        frame->setObjectName(qs(line.name));
        frame->setFixedSize(6, 24);
        frame->setAutoFillBackground(true);
        labels_.push_back({&line, frame, {}});
        h->addWidget(frame);
    }
    return header;
}

QWidget* MainWindow::buildMidiGroup() {
    auto* box = new QGroupBox(QStringLiteral("MIDI-Gerät, Instrument und Bend"), this);
    box->setFixedWidth(430);
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(6, 4, 6, 6);
    row->setSpacing(6);
    auto column = [&](const char* title, int stretch) {
        auto* v = new QVBoxLayout;
        v->setSpacing(3);
        v->addWidget(new QLabel(QString::fromUtf8(title), box));
        row->addLayout(v, stretch);
        return v;
    };

    QVBoxLayout* device = column("Ausgabegerät", 4);
    QListWidget* devices = makeList(c_.List1, box);
    devices->setMinimumHeight(40);
    // Device names are long ("Eingebauter Synthesizer (FluidSynth, General MIDI)"): wrap them.
    devices->setWordWrap(true);
    devices->setTextElideMode(Qt::ElideNone);
    devices->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    device->addWidget(devices, 1);
    // Without word wrap: a wrapping label would make the column's height depend on its width.
    device->addWidget(makeLabel(c_.Label1, box));
    auto* factors = new QHBoxLayout;
    factors->addWidget(new QLabel(QStringLiteral("Tempo"), box));
    factors->addWidget(makeText(c_.Tempobox, box, false));
    factors->addWidget(new QLabel(QStringLiteral("Laut"), box));
    factors->addWidget(makeText(c_.Lautbox, box, false));
    device->addLayout(factors);

    QVBoxLayout* sound = column("Instrument", 3);
    QListWidget* sounds = makeList(c_.lst_sound_list, box);
    sounds->setMinimumHeight(40);
    sound->addWidget(sounds, 1);

    QVBoxLayout* bend = column("Bend", 0);
    auto* bendRow = new QHBoxLayout;
    bendRow->setSpacing(2);
    bender_ = new BendWidget(c_.Bender, box);
    bender_->setToolTip(QStringLiteral("Tonhöhe mit der Maus verbiegen (Pitch Bend)"));
    bender_->onMove = [this](double value) { run("Bender", value); };
    bendRow->addWidget(bender_);
    scroll_ = new QScrollBar(Qt::Vertical, box);
    scroll_->setObjectName(qs(c_.VScroll1.name));
    scroll_->setInvertedAppearance(true); // the top is the highest value
    scroll_->setToolTip(QStringLiteral("Feinstimmung (Pitch Bend)"));
    connect(scroll_, &QScrollBar::valueChanged, this, [this](int value) {
        if (syncing_) return;
        c_.VScroll1.value = value;
        run(c_.VScroll1.name, value);
    });
    bendRow->addWidget(scroll_);
    bend->addLayout(bendRow, 1);
    auto* reset = makeButton(c_.neutral, box);
    reset->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
    bend->addWidget(reset);
    return box;
}

void MainWindow::buildChooser() {
    chooser_ = new QWidget(nullptr, Qt::Window);
    chooser_->setObjectName("Linien");
    chooser_->resize(520, 300);
    auto* v = new QVBoxLayout(chooser_);
    lini_ = makeList(c_.Lini, chooser_);
    v->addWidget(lini_);
    chooser_->installEventFilter(this);
}

void MainWindow::layoutWorkArea() {
    const int gap = 6;
    int w = work_->width(), h = work_->height();
    int x = 0;
    if (c_.List2.visible) {
        int listWidth = std::min(pixels(c_.List2.width > 0 ? c_.List2.width : 3525), w - 120);
        list2_->setGeometry(0, 0, std::max(0, listWidth), h);
        x = listWidth + gap;
    }
    int width = std::max(0, w - x);
    int y = 0;
    if (c_.inidat.visible) {
        int height = std::min(pixels(c_.inidat.height > 0 ? c_.inidat.height : 7540), h);
        inidat_->setGeometry(x, 0, width, height);
        y = height + gap;
    }
    if (c_.Label5.visible) {
        label5_->setGeometry(x, y, width, 30);
        y += 30 + gap;
    }
    int rest = std::max(0, h - y);
    if (c_.Daten.visible && c_.Zuordnung.visible) {
        int first = width * 2 / 5;
        daten_->setGeometry(x, y, first - gap / 2, rest);
        zuordnung_->setGeometry(x + first + gap / 2, y, width - first - gap / 2, rest);
    } else {
        daten_->setGeometry(x, y, width, rest);
        zuordnung_->setGeometry(x, y, width, rest);
    }
}

void MainWindow::apply(QWidget* w, const Control& m, Shown& s, bool enabled, bool labelLike) {
    if (!s.known || s.back != m.back || s.fore != m.fore) {
        QPalette pal = w->palette();
        QPalette::ColorRole back = labelLike ? QPalette::Window : QPalette::Base;
        QPalette::ColorRole fore = labelLike ? QPalette::WindowText : QPalette::Text;
        if (qobject_cast<QPushButton*>(w)) {
            back = QPalette::Button;
            fore = QPalette::ButtonText;
        }
        pal.setColor(back, qc(m.back));
        // A disabled control keeps the system's grey text, so that it looks disabled.
        pal.setColor(QPalette::Active, fore, qc(m.fore));
        pal.setColor(QPalette::Inactive, fore, qc(m.fore));
        w->setPalette(pal);
        if (labelLike) w->setAutoFillBackground(true);
    }
    if (!s.known || s.bold != m.bold || s.fontSize != m.fontSize) {
        QFont f = font();
        f.setPointSize(m.fontSize > 0 ? m.fontSize : 8);
        f.setBold(m.bold);
        w->setFont(f);
    }
    if (!s.known || s.tooltip != m.tooltip) w->setToolTip(qs(m.tooltip));
    if (!s.known || s.enabled != enabled) w->setEnabled(enabled);
    if (!s.known || s.visible != m.visible) w->setVisible(m.visible);
    s.known = true;
    s.back = m.back;
    s.fore = m.fore;
    s.bold = m.bold;
    s.fontSize = m.fontSize;
    s.tooltip = m.tooltip;
    s.enabled = enabled;
    s.visible = m.visible;
}

void MainWindow::syncLists() {
    for (auto& view : lists_) {
        apply(view.widget, *view.model, view.shown, view.model->enabled, false);
        const auto& lines = view.model->lines();
        if (lines != view.lines) {
            bool appended = lines.size() > view.lines.size() &&
                            std::equal(view.lines.begin(), view.lines.end(), lines.begin());
            if (!appended) {
                view.widget->clear();
                view.lines.clear();
            }
            QStringList add;
            for (size_t i = view.lines.size(); i < lines.size(); ++i)
                add << qs(lines[i]);
            view.widget->addItems(add);
            view.lines = lines;
            view.selected = -2;
        }
        if (view.selected != view.model->selected) {
            view.selected = view.model->selected;
            QSignalBlocker block(view.widget);
            view.widget->setCurrentRow(view.selected < view.model->count() ? view.selected : -1);
        }
    }
}

void MainWindow::sync() {
    if (syncing_) return;
    syncing_ = true;
    if (caption_ != c_.caption) {
        caption_ = c_.caption;
        setWindowTitle(qs(caption_));
    }
    for (auto& view : buttons_) {
        bool enabled = view.model->enabled && findAction(view.model->name) != nullptr;
        apply(view.widget, *view.model, view.shown, enabled, false);
        if (view.shown.caption != view.model->caption) {
            view.shown.caption = view.model->caption;
            view.widget->setText(qs(view.shown.caption));
        }
    }
    mid_->setEnabled(findAction("MID") != nullptr && c_.Startknopf.enabled);
    for (auto& view : labels_) {
        apply(view.widget, *view.model, view.shown, view.model->enabled, true);
        if (auto* label = qobject_cast<QLabel*>(view.widget);
            label && view.shown.caption != view.model->caption) {
            view.shown.caption = view.model->caption;
            label->setText(qs(view.shown.caption));
        }
    }
    for (auto& view : texts_) {
        apply(view.widget, *view.model, view.shown, view.model->enabled, false);
        if (view.text != view.model->text()) {
            view.text = view.model->text();
            view.widget->setText(qs(view.text));
            view.widget->setCursorPosition(0);
        }
    }
    syncLists();

    ScrollShown scroll{c_.VScroll1.min, c_.VScroll1.max, c_.VScroll1.value, c_.VScroll1.smallChange,
                       c_.VScroll1.largeChange};
    if (!scrollKnown_ || !(scroll == scrollShown_)) {
        QSignalBlocker block(scroll_);
        scroll_->setRange(scroll.min, scroll.max);
        scroll_->setValue(scroll.value);
        scroll_->setSingleStep(scroll.small);
        scroll_->setPageStep(scroll.large);
        scrollShown_ = scroll;
        scrollKnown_ = true;
    }
    scroll_->setVisible(c_.VScroll1.visible);
    scroll_->setEnabled(c_.VScroll1.enabled);
    bender_->setVisible(c_.Bender.visible);
    bender_->setEnabled(c_.Bender.enabled && findAction("Bender") != nullptr);
    bender_->update();

    Geometry geometry{c_.List2.width,       c_.inidat.height,  c_.List2.visible, c_.Daten.visible,
                      c_.Zuordnung.visible, c_.Label5.visible, c_.inidat.visible};
    if (!(geometry == laidOut_)) {
        laidOut_ = geometry;
        layoutWorkArea();
    }

    if (chooserCaption_ != c_.liniencaption) {
        chooserCaption_ = c_.liniencaption;
        chooser_->setWindowTitle(qs(chooserCaption_));
    }
    if (chooserVisible_ != c_.linienVisible) {
        chooserVisible_ = c_.linienVisible;
        chooser_->setVisible(chooserVisible_);
        if (chooserVisible_) chooser_->raise();
    }

    // A play shows its melody at once: the file is looked at a few times a second.
    auto now = std::chrono::steady_clock::now();
    if (depth_ > 0 && now - melodyChecked_ > std::chrono::milliseconds(250)) {
        melodyChecked_ = now;
        checkMelody();
    }
    roll_->setSounding(depth_ > 0 ? app_.soundingTone : 0);
    syncing_ = false;
}

void MainWindow::reloadMelody() {
    // The stamp is taken first: a file that changes during the read is read again.
    melodyStamp_ = fileStamp(app_.folder.path(names::melody));
    roll_->setRoll(readPianoRoll(app_.platform.files, app_.folder, app_.decimal));
}

void MainWindow::checkMelody() {
    if (!(fileStamp(app_.folder.path(names::melody)) == melodyStamp_)) reloadMelody();
}

bool MainWindow::invoke(std::string_view name, const std::function<void()>& call) {
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
    }
    --depth_;
    running_.pop_back();
    if (events_.endRequested) {
        // Inside another command the end unwinds that command at its next wait.
        if (depth_ == 0) endProgram();
        return true;
    }
    if (redrawsMelody(name)) reloadMelody();
    sync();
    return true;
}

bool MainWindow::run(std::string_view name, double value) {
    const ControlAction* action = findAction(name);
    if (!action) return false;
    return invoke(name, [&] { action->run(app_, value); });
}

void MainWindow::start() {
    if (started_) return;
    started_ = true;
    invoke("Form_Load", [this] { app_.Form_Load(); });
    reloadMelody();
    sync();
    if (onStarted) onStarted();
}

void MainWindow::endProgram() {
    if (ending_) return;
    ending_ = true;
    events_.endRequested = false;
    try {
        app_.Form_Unload();
    } catch (const std::exception&) {
        // Closing the devices is all that is left to do; nothing more can be reported.
    }
    chooser_->hide();
    hide();
    if (onEnd) onEnd(endStatus_);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (ending_) {
        event->accept();
        return;
    }
    if (depth_ > 0) {
        // A running command ends at its next wait; the window closes after it.
        endStatus_ = 0;
        app_.stopPressed = true;
        events_.endRequested = true;
        event->ignore();
        return;
    }
    endStatus_ = 0;
    endProgram();
    event->accept();
}

void MainWindow::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    if (!started_ && !startQueued_) {
        // Form_Load runs once the empty window is on the screen.
        startQueued_ = true;
        QTimer::singleShot(0, this, [this] { start(); });
    }
    if (!c_.printed.empty()) {
        QPainter p(this);
        p.setPen(Qt::black);
        int line = fontMetrics().height();
        for (size_t i = 0; i < c_.printed.size(); ++i)
            p.drawText(2, line * static_cast<int>(i + 1), QString::fromStdString(c_.printed[i]));
    }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == text1_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        app_.Text1_KeyDown(46); // the Delete key's code: prints on the window's surface
        update();
    } else if (watched == label5_ && event->type() == QEvent::MouseMove) {
        run(c_.Label5.name);
    } else if (watched == chooser_ && event->type() == QEvent::Close) {
        c_.linienVisible = false;
        chooserVisible_ = false;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace tonfex
