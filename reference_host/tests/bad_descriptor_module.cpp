// A shared library that exports "_mod_descrip" with a wrong first word: the host must refuse it.
#include <cstdint>

extern "C" __attribute__((visibility("default"))) const std::uint32_t _mod_descrip[12] = {0x12345678u, 3, 0x300};
