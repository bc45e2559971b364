// A surface's settings in their saved form: the block the module writes through its save routine and
// reads through its load routine, shown to users as hexadecimal text.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "module/host_interface.h"

inline constexpr std::size_t kSavedSettingsBytes = 33;

class SettingsBlockError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The bytes the module's save routine writes for `instance`.
std::vector<std::uint8_t> saveSettingsBlock(const InstanceRoutines& routines, ShaderInstance* instance);
// Hands `block` to the module's load routine. Throws SettingsBlockError unless it is exactly
// kSavedSettingsBytes long.
void loadSettingsBlock(const InstanceRoutines& routines, ShaderInstance* instance,
                       const std::vector<std::uint8_t>& block);

std::string toHex(const std::vector<std::uint8_t>& bytes);
// Two hexadecimal digits per byte, upper or lower case; spaces between bytes are allowed. Throws
// SettingsBlockError saying what is wrong.
std::vector<std::uint8_t> fromHex(const std::string& text);
