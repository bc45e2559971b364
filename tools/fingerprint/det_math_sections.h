// Fingerprint sections over the deterministic elementary functions.
#pragma once

#include "tools/fingerprint/bit_hash.h"

void fingerprintCos(BitHash& hash);
void fingerprintAtan2(BitHash& hash);
void fingerprintPow(BitHash& hash);
