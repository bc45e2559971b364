#include "reference_host/settings_block.h"

#include <cctype>
#include <cstring>

namespace {

// The host's side of a transfer: a byte stream that the module's routine reads from or writes to.
struct TransferStream {
  std::vector<std::uint8_t> bytes;
  std::size_t position = 0;
  bool saving = false;
};

int transferBytes(void* hostData, void* buffer, std::int32_t byteCount) {
  auto& stream = *static_cast<TransferStream*>(hostData);
  if (byteCount <= 0 || buffer == nullptr) return 0;
  const auto count = static_cast<std::size_t>(byteCount);
  auto* data = static_cast<std::uint8_t*>(buffer);
  if (stream.saving) {
    stream.bytes.insert(stream.bytes.end(), data, data + count);
  } else {
    // Past the end of the block a reader gets zeros, never stale memory.
    for (std::size_t i = 0; i < count; ++i) {
      data[i] = stream.position < stream.bytes.size() ? stream.bytes[stream.position] : 0;
      ++stream.position;
    }
  }
  return byteCount;
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::vector<std::uint8_t> saveSettingsBlock(const InstanceRoutines& routines, ShaderInstance* instance) {
  TransferStream stream;
  stream.saving = true;
  const TransferState state{0, &stream, transferBytes};
  routines.save(instance, &state);
  return stream.bytes;
}

void loadSettingsBlock(const InstanceRoutines& routines, ShaderInstance* instance,
                       const std::vector<std::uint8_t>& block) {
  if (block.size() != kSavedSettingsBytes) {
    throw SettingsBlockError("a saved settings block has " + std::to_string(kSavedSettingsBytes) + " bytes (" +
                             std::to_string(2 * kSavedSettingsBytes) + " hex digits), this one has " +
                             std::to_string(block.size()));
  }
  TransferStream stream;
  stream.bytes = block;
  const TransferState state{0, &stream, transferBytes};
  routines.load(instance, &state);
}

std::string toHex(const std::vector<std::uint8_t>& bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string text;
  for (std::uint8_t byte : bytes) {
    text += kDigits[byte >> 4];
    text += kDigits[byte & 15];
  }
  return text;
}

std::vector<std::uint8_t> fromHex(const std::string& text) {
  std::vector<std::uint8_t> bytes;
  for (std::size_t i = 0; i < text.size();) {
    if (std::isspace(static_cast<unsigned char>(text[i]))) {
      ++i;
      continue;
    }
    const int high = hexDigit(text[i]);
    const int low = i + 1 < text.size() ? hexDigit(text[i + 1]) : -1;
    if (high < 0 || low < 0) {
      throw SettingsBlockError("not a hexadecimal byte at character " + std::to_string(i + 1) + " of \"" + text + "\"");
    }
    bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
    i += 2;
  }
  return bytes;
}
