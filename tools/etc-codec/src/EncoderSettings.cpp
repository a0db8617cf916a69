#include "EncoderSettings.h"

namespace etc {

const std::vector<std::pair<Effort, const char*>>& allEfforts()
{
    static const std::vector<std::pair<Effort, const char*>> efforts{
        {Effort::Fast, "fast"}, {Effort::Default, "default"}, {Effort::Best, "best"}};
    return efforts;
}

const char* effortName(Effort effort)
{
    for (const auto& [known, name] : allEfforts()) {
        if (known == effort) {
            return name;
        }
    }
    return "?";
}

const Effort* findEffortByName(std::string_view name)
{
    for (const auto& effort : allEfforts()) {
        if (name == effort.second) {
            return &effort.first;
        }
    }
    return nullptr;
}

const SearchSettings& searchSettings(Effort effort)
{
    static const SearchSettings fast{{2, 2, false, 1.0f},      {1, 1, false, 1.0f},      1,   1, 0, false,
                                     {0, 0, 0, 0, 0, 0, true}, {0, 0, 0, 0, 0, 0, true}, true};
    static const SearchSettings standard{{4, 3, false, 1.0f},         {2, 2, false, 1.0f},      1, 1, 1, true,
                                         {3, 6, 2, 12, 12, 3, false}, {0, 1, 0, 4, 2, 1, false}};
    static const SearchSettings best{{8, 4, true, 1000.0f},       {8, 4, true, 1000.0f},        4, 3, 3, true,
                                     {3, 6, 2, 12, 16, 4, false}, {14, 14, 1, 12, 16, 1, false}};
    switch (effort) {
    case Effort::Fast:
        return fast;
    case Effort::Default:
        break;
    case Effort::Best:
        return best;
    }
    return standard;
}

} // namespace etc
