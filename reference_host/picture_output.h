// Writing pictures: linear colours to 8-bit PNG, and two pictures side by side.
#pragma once

#include <string>

#include "reference_host/tile_renderer.h"

// Each channel clamped to [0, 1] and scaled to 0..255 (no gamma); NaN is written as 0. Throws
// std::runtime_error naming the file when it cannot be written.
void writePng(const std::string& path, const Picture& picture);

// `left` and `right` next to each other with a thin dark gap; the shorter one is padded at the bottom.
Picture sideBySide(const Picture& left, const Picture& right);
