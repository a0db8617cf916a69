#ifndef TEXT_COUNT_H
#define TEXT_COUNT_H

#include <string>

// How often `needle` occurs in `text`, overlapping occurrences included.
int countOf(const std::string& text, const std::string& needle);

#endif
