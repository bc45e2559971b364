// Fingerprint section over the mapping of directions onto spherical environment images.
#pragma once

#include "tools/fingerprint/bit_hash.h"

void fingerprintSphericalMap(BitHash& hash);
