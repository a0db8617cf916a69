#pragma once

#include <cstdint>

// Caps the address space of the calling (test child) process, so that a reader that allocates
// what a hostile header claims fails instead of succeeding lazily. Under AddressSanitizer the
// cap is left to the sanitizer's own max_allocation_size_mb (the asan preset sets it): its shadow
// memory alone takes terabytes of address space.
void limitAddressSpace(std::uint64_t bytes);
