#include "NumberArgument.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace toolargs {

namespace {

std::string shortest(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

} // namespace

bool parseNumber(const std::string& text, int lowest, int highest, int& value)
{
    if (text.empty() || std::isspace(static_cast<unsigned char>(text[0])))
        return false;
    char* end = nullptr;
    errno = 0;
    const long long number = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || number < lowest || number > highest)
        return false;
    value = static_cast<int>(number);
    return true;
}

bool parseNumber(const std::string& text, double lowest, double highest, double& value)
{
    if (text.empty() || std::isspace(static_cast<unsigned char>(text[0])))
        return false;
    char* end = nullptr;
    errno = 0;
    const double number = std::strtod(text.c_str(), &end);
    if (errno != 0 || *end != '\0' || !std::isfinite(number) || number < lowest || number > highest)
        return false;
    value = number;
    return true;
}

std::string rangeError(const std::string& option, int lowest, int highest, const std::string& text)
{
    return option + " needs a whole number from " + std::to_string(lowest) + " to " + std::to_string(highest) +
        ", got '" + text + "'";
}

std::string rangeError(const std::string& option, double lowest, double highest, const std::string& text)
{
    return option + " needs a number of seconds from " + shortest(lowest) + " to " + shortest(highest) + ", got '" +
        text + "'";
}

} // namespace toolargs
