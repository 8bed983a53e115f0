// Qt implementations of the platform interfaces the window needs: message boxes, clipboard
// and the event processing inside a command's waits.
#pragma once

#include "platform/platform.h"

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

// Lets the window breathe inside a command's waits: the models are drawn, then Qt handles its
// pending events (Stop, the live controls). An end asked for meanwhile (the window closed, a
// nested command ended the program) unwinds the running command with ProgramEnd.
class QtEvents : public Events {
public:
    void process() override;

    std::function<void()> beforeProcess;
    bool endRequested = false;
};

} // namespace tonfex
