#ifndef TEST_PRECISION_REFERENCE_H
#define TEST_PRECISION_REFERENCE_H

#include <cstdint>
#include <string>
#include <vector>

// The bit patterns of one set of single-precision values in tests/data/precision_reference.txt,
// which tests/data/precision_reference.py works out from the formulas; empty if absent.
const std::vector<std::uint32_t>& precisionReference(const std::string& name);

#endif
