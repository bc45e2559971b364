#include "instance/instance_routines.h"

#include <cstring>
#include <new>

static_assert(sizeof kInstanceDescription <= kDescriptionCapacity, "the description must fit its buffer");
// The stored block is the four settings' bytes back to back: 4 + 8 + 4 + 17.
static_assert(sizeof ShaderInstance::sample + sizeof ShaderInstance::l_size + sizeof ShaderInstance::use_prefix +
                      sizeof ShaderInstance::prefix ==
                  33,
              "the persisted block is 33 bytes");

ShaderInstance* instanceCreate(void*, SurfaceHandle surface) {
  // Cleared so that the unused prefix bytes a save writes out are zeros, never stale heap memory.
  ShaderInstance* instance = new (std::nothrow) ShaderInstance{};
  if (instance == nullptr) return nullptr;
  instance->sample = 6;
  instance->l_size = 1.0;
  instance->use_prefix = 0;
  instance->prefix[0] = '\0';
  instance->surface = surface;
  return instance;
}

void instanceDestroy(ShaderInstance* instance) { delete instance; }

int instanceCopy(ShaderInstance* destination, const ShaderInstance* source) {
  if (destination == nullptr || source == nullptr || destination == source) return 0;
  destination->sample = source->sample;
  destination->l_size = source->l_size;
  destination->use_prefix = source->use_prefix;
  std::memcpy(destination->prefix, source->prefix, sizeof destination->prefix);
  std::memcpy(destination->description, source->description, sizeof destination->description);
  return 0;
}

int instanceTransfer(ShaderInstance* instance, const TransferState* state) {
  if (instance == nullptr || state == nullptr || state->transfer == nullptr || state->mode != 0) return 0;
  state->transfer(state->hostData, &instance->sample, sizeof instance->sample);
  state->transfer(state->hostData, &instance->l_size, sizeof instance->l_size);
  state->transfer(state->hostData, &instance->use_prefix, sizeof instance->use_prefix);
  state->transfer(state->hostData, instance->prefix, sizeof instance->prefix);
  // A stored block may carry 17 characters and no terminator, or a read may have stopped short;
  // either way the prefix must stay a text of at most 16 characters.
  instance->prefix[kPrefixCapacity] = '\0';
  return 0;
}

const char* instanceDescribe(ShaderInstance* instance) {
  if (instance == nullptr) return kInstanceDescription;
  std::memcpy(instance->description, kInstanceDescription, sizeof kInstanceDescription);
  return instance->description;
}
