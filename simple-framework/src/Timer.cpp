#include "Timer.h"

#include <algorithm>
#include <chrono>

namespace KorvoSDK {

Timer::Timer()
{
    // nowSeconds() is virtual; during construction this is the steady clock, which is
    // what a derived test timer starts from as well (it resets itself once built).
    startTime = nowSeconds();
}

double Timer::nowSeconds() const
{
    using Seconds = std::chrono::duration<double>;
    return std::chrono::duration_cast<Seconds>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void Timer::reset() { startTime = nowSeconds(); }

float Timer::elapsedSeconds() { return static_cast<float>(nowSeconds() - startTime); }

bool Timer::intervalPassed(float interval)
{
    const float t = elapsedSeconds();
    if (t - lastIntervalTime > interval) {
        lastIntervalTime = t;
        return true;
    }
    return false;
}

float Timer::secondsUntilInterval(float interval)
{
    return std::max(0.0f, lastIntervalTime + interval - elapsedSeconds());
}

} // namespace KorvoSDK
