// Prints a 64-bit hash of the bit patterns of many computed results, one line per section and one over
// all of them. Two builds that print the same lines computed the same bits; the test command compares
// the 64-bit build's print with the 32-bit build's.
//
// To add a section: write a `void fingerprintSomething(BitHash&)` that feeds the hash with results from
// a fixed input set (an InputStream with its own seed), and list it in kSections.
#include <cinttypes>
#include <cstdio>

#include "tools/fingerprint/bit_hash.h"
#include "tools/fingerprint/det_math_sections.h"
#include "tools/fingerprint/own_path_sections.h"
#include "tools/fingerprint/surroundings_sections.h"

namespace {

struct Section {
  const char* name;
  void (*fill)(BitHash&);
};

constexpr Section kSections[] = {
    {"detCos", fingerprintCos},        {"detAtan2", fingerprintAtan2},
    {"detPow", fingerprintPow},        {"sphericalMap", fingerprintSphericalMap},
    {"ownLight", fingerprintOwnLight}, {"ownPathLight", fingerprintOwnPathLight},
};

}  // namespace

int main() {
  BitHash all;
  for (const Section& section : kSections) {
    BitHash hash;
    section.fill(hash);
    std::printf("%-24s %016" PRIx64 "\n", section.name, hash.value());
    all.addBits(hash.value());
  }
  std::printf("%-24s %016" PRIx64 "\n", "all", all.value());
  return 0;
}
