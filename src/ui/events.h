// The events of a window that the window driver draws before them.
#pragma once

#include "core/errors.h"
#include "platform/platform.h"

#include <functional>

namespace tonfex::ui {

// A window's events: before it handles its pending events the driver draws the models; an end
// asked for meanwhile (the window closed, a nested command ended the program) unwinds the
// running command with ProgramEnd at its next wait.
class WindowEvents : public Events {
public:
    void process() final {
        if (beforeProcess) beforeProcess();
        handlePending();
        if (endRequested) throw ProgramEnd();
    }
    std::function<void()> beforeProcess;
    bool endRequested = false;

protected:
    // The toolkit handles the clicks, keys and paints that are pending.
    virtual void handlePending() = 0;
};

} // namespace tonfex::ui
