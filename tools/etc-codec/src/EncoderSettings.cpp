#include "EncoderSettings.h"

namespace etc {

const std::vector<std::pair<Effort, const char*>>& allEfforts()
{
    static const std::vector<std::pair<Effort, const char*>> efforts{{Effort::Fast, "fast"},
                                                                     {Effort::Default, "default"},
                                                                     {Effort::Best, "best"},
                                                                     {Effort::Exhaustive, "exhaustive"}};
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
    // clang-format off
    // Subblocks (ETC1, ETC2): refined tables, refit rounds, individual always, other flip's
    // spread, neighbourhood radius, pairs rescored, exact steps, thorough steps, complete. T/H:
    // partitions, distances, rounds, exact steps. Planar: neighbours, joint moves. EAC (R11/RG11,
    // alpha). Fast colour blocks. Late T/H partitions. The neighbourhood and the exact steps find what more refined
    // tables would.
    static const SearchSettings fast{{2, 2, false, 1.0f, 0, 0, 0, false, false},
                                     {1, 1, false, 1.0f, 0, 0, 0, false, false},
                                     1, 1, 0, 0, false, false,
                                     {0, 0, 0, 0, 0, 0, true},            {0, 0, 0, 0, 0, 0, true}, true};
    static const SearchSettings standard{{4, 3, false, 1.0f, 0, 0, 0, false, false},
                                         {2, 2, false, 1.0f, 0, 0, 0, false, false},
                                         1, 1, 1, 0, true, false,
                                         {3, 6, 2, 12, 12, 3, false},         {0, 1, 0, 4, 2, 1, false}};
    static const SearchSettings best{{1, 1, true, 1000.0f, 1, 2, 4, false, false},
                                     {1, 1, true, 1000.0f, 1, 2, 4, false, true},
                                     4, 2, 2, 8, true, true,
                                     {3, 6, 2, 12, 16, 4, false},           {14, 14, 1, 12, 16, 1, false}};
    static const SearchSettings exhaustive{{0, 0, true, 1000.0f, 0, 0, 0, false, true},
                                           {0, 0, true, 1000.0f, 0, 0, 0, false, true},
                                           8, 8, 3, 16, true, true,
                                           {3, 6, 2, 12, 16, 4, false}, {14, 14, 1, 12, 16, 1, false}, false,
                                           16, 1.2f};
    // clang-format on
    switch (effort) {
    case Effort::Fast:
        return fast;
    case Effort::Default:
        break;
    case Effort::Best:
        return best;
    case Effort::Exhaustive:
        return exhaustive;
    }
    return standard;
}

} // namespace etc
