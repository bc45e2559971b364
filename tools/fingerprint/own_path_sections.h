// Fingerprint sections over the own light model and the soft-shadow sampler.
#pragma once

#include "tools/fingerprint/bit_hash.h"

void fingerprintOwnLight(BitHash& hash);
void fingerprintOwnPathLight(BitHash& hash);
