#ifndef ETCTOOL_PROGRESS_H
#define ETCTOOL_PROGRESS_H

#include <functional>
#include <string>

namespace etctool {

// Shows how far a long step has come on standard error: the task line once, and on a
// terminal a percentage that updates in place.
class ProgressMeter {
public:
    explicit ProgressMeter(std::string task);
    ~ProgressMeter();
    ProgressMeter(const ProgressMeter&) = delete;
    ProgressMeter& operator=(const ProgressMeter&) = delete;

    // For EncodeOptions::progress; valid while the meter lives.
    std::function<void(int done, int total)> callback();

private:
    void show(int done, int total);

    std::string task;
    bool terminal;
    int shownPercent = -1;
};

} // namespace etctool

#endif
