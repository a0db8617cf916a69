#ifndef KORVO_TIMER_H
#define KORVO_TIMER_H

namespace KorvoSDK {

// Seconds on a monotonic clock, measured from the last reset.
class Timer {
public:
    Timer();

    void reset();
    float elapsedSeconds();

    // True once more than `interval` seconds have passed since the elapsed time at which
    // it last returned true (strictly more). Measured from that moment, not from the last
    // call, so polling in a tight loop yields one true per interval. reset() moves the
    // origin but keeps that moment.
    bool intervalPassed(float interval);
    // Seconds until intervalPassed(interval) can next be true; 0 once it can.
    float secondsUntilInterval(float interval);

protected:
    // The clock in seconds; tests replace it to step time by hand.
    virtual double nowSeconds() const;

private:
    double startTime = 0.0;
    float lastIntervalTime = 0.0f;
};

} // namespace KorvoSDK

#endif
