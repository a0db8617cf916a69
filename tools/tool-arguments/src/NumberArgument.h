#ifndef TOOL_ARGUMENTS_NUMBER_ARGUMENT_H
#define TOOL_ARGUMENTS_NUMBER_ARGUMENT_H

#include <string>

namespace toolargs {

// A numeric option's value: the whole text must be one decimal number within [lowest, highest];
// trailing text, an empty text, a value out of range (however many digits) and, for reals,
// NaN and infinities are refused. `value` is set only on success.
bool parseNumber(const std::string& text, int lowest, int highest, int& value);
bool parseNumber(const std::string& text, double lowest, double highest, double& value);

// "--repeat needs a whole number from 1 to 1000, got 'x'" and the like, for the "Error: " line.
std::string rangeError(const std::string& option, int lowest, int highest, const std::string& text);
std::string rangeError(const std::string& option, double lowest, double highest, const std::string& text);

} // namespace toolargs

#endif
