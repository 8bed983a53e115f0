// A clock whose waits take no real time: a play rendered to files runs as fast as it computes.
#pragma once

#include "platform/real.h"

namespace tonfex {

class VirtualClock : public Clock {
public:
    double monotonic() override { return seconds_; }
    void sleep(double seconds) override {
        if (seconds > 0) seconds_ += seconds;
    }
    bool jumps() const override { return true; }
    LocalTime now() override { return system_.now(); }

private:
    SystemClock system_;
    double seconds_ = 0;
};

} // namespace tonfex
