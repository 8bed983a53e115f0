// Qt implementations of the platform interfaces the window needs: message boxes, clipboard
// and the event processing inside a command's waits; the program's texts and colours in Qt.
#pragma once

#include "controls/models.h"
#include "platform/platform.h"
#include "ui/events.h"

#include <QColor>
#include <QString>

class QWidget;

namespace tonfex {

inline QString qs(const std::string& text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}
inline QColor qc(Rgb rgb) {
    return QColor(rgb.r, rgb.g, rgb.b);
}

// Message boxes with German buttons; a question offers "Ja" and "Nein" (askAll "Ja, alle"
// between them), "Nein" being the default and the answer to Escape.
class QtDialogs : public BoxDialogs {
public:
    QWidget* parent = nullptr;

protected:
    Answer question(const std::string& title, const std::string& text, bool offerAll) override;
    void message(const std::string& title, const std::string& text) override;
};

class QtClipboard : public Clipboard {
public:
    void clear() override;
    void setText(const std::string& text) override;
};

// Lets the window breathe inside a command's waits: Qt handles its pending events (Stop, the
// live controls).
class QtEvents : public ui::WindowEvents {
protected:
    void handlePending() override;
};

} // namespace tonfex
