#include "Progress.h"

#include <cstdio>
#include <unistd.h>

namespace etctool {

ProgressMeter::ProgressMeter(std::string task) : task(std::move(task)), terminal(::isatty(STDERR_FILENO) != 0)
{
    if (!terminal)
        std::fprintf(stderr, "%s\n", this->task.c_str());
}

ProgressMeter::~ProgressMeter()
{
    if (terminal)
        std::fprintf(stderr, "\r%s: done\n", task.c_str());
}

std::function<void(int, int)> ProgressMeter::callback()
{
    return [this](int done, int total) { show(done, total); };
}

void ProgressMeter::show(int done, int total)
{
    if (!terminal || total <= 0)
        return;
    int percent = int(100L * done / total);
    if (percent == shownPercent)
        return;
    shownPercent = percent;
    std::fprintf(stderr, "\r%s: %3d%%", task.c_str(), percent);
    (void)std::fflush(stderr); // progress only
}

} // namespace etctool
