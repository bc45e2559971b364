// The host's side of instanceTransfer for tests: a byte stream that a save appends to and a load
// reads from, logging every request.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "module/host_interface.h"

struct TransferStream {
  struct Request {
    const void* buffer;
    std::int32_t byteCount;
  };
  std::vector<unsigned char> bytes;  // what a save wrote, or what a load reads
  std::size_t readPosition = 0;
  std::vector<Request> requests;

  // Saving: appends the buffer's bytes.
  static int save(void* hostData, void* buffer, std::int32_t byteCount) {
    auto& stream = *static_cast<TransferStream*>(hostData);
    stream.requests.push_back({buffer, byteCount});
    const auto* from = static_cast<const unsigned char*>(buffer);
    stream.bytes.insert(stream.bytes.end(), from, from + byteCount);
    return 0;
  }

  // Loading: fills the buffer from the stream; when the stream runs out, only what is left is
  // written and the rest of the buffer stays as it was (a short or failed read).
  static int load(void* hostData, void* buffer, std::int32_t byteCount) {
    auto& stream = *static_cast<TransferStream*>(hostData);
    stream.requests.push_back({buffer, byteCount});
    const std::size_t left = stream.bytes.size() - stream.readPosition;
    const std::size_t count = static_cast<std::size_t>(byteCount) < left ? byteCount : left;
    if (count > 0) std::memcpy(buffer, stream.bytes.data() + stream.readPosition, count);
    stream.readPosition += count;
    return count == static_cast<std::size_t>(byteCount) ? 0 : -1;
  }

  TransferState state(TransferRoutine routine, std::int32_t mode = 0) { return TransferState{mode, this, routine}; }
};
