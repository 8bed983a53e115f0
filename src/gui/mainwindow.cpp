#include "gui/mainwindow.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGroupBox>
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

namespace tonfex {

namespace {

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

MainWindow::MainWindow(App& app, QtEvents& events, QtDialogs* dialogs)
    : dialogs_(dialogs), driver_(app, painter_, events) {
    paintWidgets();
    setObjectName("main");
    QPalette pal = palette();
    pal.setColor(QPalette::Window, qc(colors::grey));
    setPalette(pal);
    setAutoFillBackground(true);
    setMinimumSize(ui::kMinimumWidth, ui::kMinimumHeight);

    chooser_ = new QWidget(nullptr, Qt::Window);
    chooser_->setObjectName("Linien");
    chooser_->resize(520, 300);
    chooser_->installEventFilter(this);
    new QVBoxLayout(chooser_);
    const auto& places = driver_.places();
    for (size_t i = 0; i < places.size(); ++i)
        widgets_.push_back(make(static_cast<int>(i), places[i]));
    for (size_t i = 0; i < places.size(); ++i)
        if (places[i].kind == ui::Kind::Group) widgets_[i]->lower(); // beneath what they frame
    MainControls& c = app.c;
    setTabOrder(widgets_[size_t(driver_.slotOf(c.Startknopf))],
                widgets_[size_t(driver_.slotOf(c.Stopp))]); // Stopp follows Startknopf
    widgets_[size_t(driver_.slotOf(c.Dateiherstellung))]->setFocus(); // "Neu" takes the first key

    // Form_Load follows the first paint; a window that is not painted soon starts anyway.
    QTimer::singleShot(1000, this, [this] { start(); });
    // An idle window follows the melody file as the composer edits it; a running command
    // looks at it in its waits (sync).
    auto* melodyPoll = new QTimer(this);
    connect(melodyPoll, &QTimer::timeout, this, [this] { driver_.idle(); });
    melodyPoll->start(500);
    if (dialogs_) {
        dialogs_->parent = this;
        driver_.drawBeforeDialogs(*dialogs_);
    }
    sync();
}

MainWindow::~MainWindow() {
    if (dialogs_) dialogs_->parent = nullptr;
    delete chooser_;
}

QWidget* MainWindow::make(int slot, const ui::Slot& s) {
    QWidget* w = nullptr;
    switch (s.kind) {
    case ui::Kind::Group:
        w = new QGroupBox(qs(s.text), this);
        break;
    case ui::Kind::Title:
        w = new QLabel(qs(s.text), this);
        break;
    case ui::Kind::Button: {
        auto* b = new QPushButton(this);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, slot] { driver_.clicked(slot); });
        // Buttons without a caption show a symbol; their tooltips say what they do.
        const std::string& name = s.model->name;
        if (name == "Command1") b->setIcon(powerIcon());
        if (name == "KeineFrage") b->setIcon(style()->standardIcon(QStyle::SP_MessageBoxQuestion));
        if (name == "Infos") b->setIcon(style()->standardIcon(QStyle::SP_MessageBoxInformation));
        if (name == "NeueRegelInfo")
            b->setIcon(style()->standardIcon(QStyle::SP_FileDialogInfoView));
        if (name == "neutral") b->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
        w = b;
        break;
    }
    case ui::Kind::List: {
        auto* l = new QListWidget(s.inChooser ? chooser_ : this);
        l->setUniformItemSizes(true);
        connect(l, &QListWidget::itemClicked, this,
                [this, slot, l](QListWidgetItem* item) { driver_.picked(slot, l->row(item)); });
        if (s.model->name == "List1") {
            // Device names are long ("Eingebauter Synthesizer (FluidSynth, General MIDI)").
            l->setWordWrap(true);
            l->setTextElideMode(Qt::ElideNone);
            l->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        }
        if (s.inChooser) chooser_->layout()->addWidget(l);
        w = l;
        break;
    }
    case ui::Kind::Text:
    case ui::Kind::Entry: {
        auto* t = new QLineEdit(this);
        t->setReadOnly(s.kind == ui::Kind::Text);
        if (s.kind == ui::Kind::Entry)
            connect(t, &QLineEdit::textEdited, this,
                    [this, slot](const QString& text) { driver_.edited(slot, text.toStdString()); });
        if (s.model->name == "Text1") {
            text1_ = t;
            t->installEventFilter(this);
        }
        w = t;
        break;
    }
    case ui::Kind::Label: {
        auto* l = new QLabel(this);
        if (s.model->name == "Label5") {
            label5_ = l;
            l->setWordWrap(true);
            l->setMouseTracking(true);
            l->installEventFilter(this);
        }
        w = l;
        break;
    }
    case ui::Kind::Line:
        w = new QFrame(this);
        w->setAutoFillBackground(true);
        break;
    case ui::Kind::Roll:
        w = roll_ = new PianoRollWidget(this);
        w->setObjectName("Pianoroll");
        break;
    case ui::Kind::Bend:
        w = bender_ = new QWidget(this);
        bendModel_ = static_cast<const BendArea*>(s.model);
        w->setMouseTracking(true);
        w->installEventFilter(this);
        break;
    case ui::Kind::Scroll:
        scroll_ = new QScrollBar(Qt::Vertical, this);
        scroll_->setInvertedAppearance(true); // the top is the highest value
        connect(scroll_, &QScrollBar::valueChanged, this,
                [this](int value) { driver_.scrolled(value); });
        w = scroll_;
        break;
    }
    if (s.model) w->setObjectName(qs(s.model->name));
    return w;
}

void MainWindow::paintWidgets() {
    painter_.place = [this](int slot, const Box& b) {
        if (!driver_.places()[size_t(slot)].inChooser)
            widgets_[size_t(slot)]->setGeometry(b.left, b.top, b.width(), b.height());
    };
    painter_.showLook = [this](int slot, const Control& m) {
        QWidget* w = widgets_[size_t(slot)];
        ui::Kind kind = driver_.places()[size_t(slot)].kind;
        bool labelLike = kind == ui::Kind::Label || kind == ui::Kind::Line;
        QPalette pal = w->palette();
        QPalette::ColorRole back = labelLike ? QPalette::Window : QPalette::Base;
        QPalette::ColorRole fore = labelLike ? QPalette::WindowText : QPalette::Text;
        if (kind == ui::Kind::Button) {
            back = QPalette::Button;
            fore = QPalette::ButtonText;
        }
        pal.setColor(back, qc(m.back));
        // A disabled control keeps the system's grey text, so that it looks disabled.
        pal.setColor(QPalette::Active, fore, qc(m.fore));
        pal.setColor(QPalette::Inactive, fore, qc(m.fore));
        w->setPalette(pal);
        if (labelLike) w->setAutoFillBackground(true);
        QFont f = font();
        f.setPointSize(m.fontSize > 0 ? m.fontSize : 8);
        f.setBold(m.bold);
        w->setFont(f);
    };
    painter_.showTooltip = [this](int slot, const std::string& tip) {
        widgets_[size_t(slot)]->setToolTip(qs(tip));
    };
    painter_.showState = [this](int slot, bool enabled, bool visible) {
        widgets_[size_t(slot)]->setEnabled(enabled);
        widgets_[size_t(slot)]->setVisible(visible);
    };
    painter_.showCaption = [this](int slot, const std::string& text) {
        QWidget* w = widgets_[size_t(slot)];
        if (auto* b = qobject_cast<QPushButton*>(w)) b->setText(qs(text));
        if (auto* l = qobject_cast<QLabel*>(w)) l->setText(qs(text));
        if (auto* t = qobject_cast<QLineEdit*>(w)) {
            t->setText(qs(text));
            t->setCursorPosition(0);
        }
    };
    painter_.showLines = [this](int slot, const std::vector<std::string>& lines, size_t from) {
        auto* list = static_cast<QListWidget*>(widgets_[size_t(slot)]);
        if (from == 0) list->clear();
        QStringList add;
        for (size_t i = from; i < lines.size(); ++i)
            add << qs(lines[i]);
        list->addItems(add);
    };
    painter_.showSelection = [this](int slot, int row) {
        auto* list = static_cast<QListWidget*>(widgets_[size_t(slot)]);
        QSignalBlocker block(list);
        list->setCurrentRow(row);
    };
    painter_.showScroll = [this](const ScrollBar& m) {
        QSignalBlocker block(scroll_);
        scroll_->setRange(m.min, m.max);
        scroll_->setValue(m.value);
        scroll_->setSingleStep(m.smallChange);
        scroll_->setPageStep(m.largeChange);
    };
    painter_.showBend = [this] { bender_->update(); };
    painter_.showTitle = [this](bool chooser, const std::string& caption) {
        (chooser ? chooser_ : static_cast<QWidget*>(this))->setWindowTitle(qs(caption));
    };
    painter_.showChooser = [this](bool visible) {
        chooser_->setVisible(visible);
        if (visible) chooser_->raise();
    };
    painter_.showRoll = [this](const PianoRoll& roll) { roll_->setRoll(roll); };
    painter_.showSounding = [this](int tone) { roll_->setSounding(tone); };
    painter_.showPrinted = [this] { update(); };
    painter_.ended = [this](int status) {
        chooser_->hide();
        hide();
        if (onEnd) onEnd(status);
    };
}

void MainWindow::start() {
    if (driver_.started()) return;
    driver_.start();
    if (onStarted) onStarted();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (driver_.closeRequested())
        event->accept();
    else
        event->ignore();
}

void MainWindow::resizeEvent(QResizeEvent*) {
    driver_.resize(width(), height(), logicalDpiY(), style()->pixelMetric(QStyle::PM_ScrollBarExtent));
}

void MainWindow::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    if (!driver_.started() && !startQueued_) {
        // Form_Load runs once the empty window is on the screen.
        startQueued_ = true;
        QTimer::singleShot(0, this, [this] { start(); });
    }
    const auto& printed = driver_.printed();
    if (!printed.empty()) {
        QPainter p(this);
        p.setPen(Qt::black);
        int line = fontMetrics().height();
        for (size_t i = 0; i < printed.size(); ++i)
            p.drawText(2, line * static_cast<int>(i + 1), QString::fromStdString(printed[i]));
    }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == text1_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        driver_.deletePressed();
    } else if (watched == label5_ && event->type() == QEvent::MouseMove) {
        driver_.run("Label5");
    } else if (watched == chooser_ && event->type() == QEvent::Close) {
        driver_.chooserClosed();
    } else if (watched == bender_ && event->type() == QEvent::Paint) {
        // The picture box `Bender`: a horizontal line marks the last position.
        QPainter p(bender_);
        p.fillRect(bender_->rect(), qc(bendModel_->back));
        p.setPen(QColor(90, 90, 90));
        p.drawRect(bender_->rect().adjusted(0, 0, -1, -1));
        if (int y = ui::bendMarkerY(*bendModel_, bender_->height()); y >= 0) {
            p.setPen(QPen(qc(bendModel_->fore), 2));
            p.drawLine(0, y, bender_->width(), y);
        }
        return true;
    } else if (watched == bender_ && event->type() == QEvent::MouseMove) {
        auto* move = static_cast<QMouseEvent*>(event);
        driver_.bent(static_cast<int>(move->position().y()), bender_->height());
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace tonfex
