// Qt implementations of the platform interfaces the window needs: message boxes, clipboard
// and the event processing inside a command's waits.
#pragma once

#include "platform/platform.h"
#include "ui/events.h"

#include <functional>

class QWidget;

namespace tonfex {

// Message boxes with German buttons; a question offers "Ja" and "Nein" (askAll "Ja, alle"
// between them), "Nein" being the default and the answer to Escape.
class QtDialogs : public Dialogs {
public:
    bool ask(const std::string& title, const std::string& text) override;
    Answer askAll(const std::string& title, const std::string& text) override;
    void tell(const std::string& title, const std::string& text) override;

    QWidget* parent = nullptr;
    // Runs before a box opens, so that the window behind it shows the latest state.
    std::function<void()> beforeDialog;

private:
    Answer question(const std::string& title, const std::string& text, bool offerAll);
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
