#pragma once
// The selection outline animation (timer 1) as a state machine: the window's timer calls
// tick() and follows timerRunning() and intervalMs().
namespace quillet {

class OutlineAnimation {
public:
    static constexpr int kIntervalMs = 400;
    static constexpr int kTicks = 6;

    // Starts (or restarts) the timer with the counter reset; `ms` is 400, or 100 after a layer
    // change.
    void start(int ms = kIntervalMs) {
        running_ = true;
        paused_ = false;
        intervalMs_ = ms;
        ticks_ = 0;
    }
    // One timer tick. True when the outline should be rebuilt if needed, its phase flipped and
    // the view repainted. Nothing happens while the document is busy. After 6 ticks the timer
    // stops and the animation is paused.
    bool tick(bool busy) {
        if (!running_ || busy) return false;
        intervalMs_ = kIntervalMs;
        if (++ticks_ >= kTicks) {
            running_ = false;
            paused_ = true;
        }
        return true;
    }
    // Mouse movement over the view or the focus regained: a paused animation runs again.
    bool resume() {
        if (!paused_) return false;
        start(kIntervalMs);
        return true;
    }
    // Losing the focus stops the timer; the animation waits paused when a selection was shown.
    void focusLost(bool selectionShown) {
        running_ = false;
        if (selectionShown) paused_ = true;
    }
    // Dropping the selection or closing the window.
    void stop() {
        running_ = false;
        paused_ = false;
        ticks_ = 0;
    }

    bool timerRunning() const { return running_; }
    bool paused() const { return paused_; }
    int intervalMs() const { return intervalMs_; }
    int ticks() const { return ticks_; }

private:
    bool running_ = false;
    bool paused_ = false;
    int intervalMs_ = kIntervalMs;
    int ticks_ = 0;
};

}  // namespace quillet
