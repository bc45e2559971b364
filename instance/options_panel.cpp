#include "instance/options_panel.h"

#include <cstring>

const PanelService* gPanelFunctions = nullptr;

int activateInterface(int version, GlobalLookup lookup, void* record) {
  if (version != kServerVersion || record == nullptr) return 1;
  InterfaceRecord& target = *static_cast<InterfaceRecord*>(record);
  acquirePanelService(lookup);
  target.panel = buildPanel(target.instance);
  target.hostRoutineA = nullptr;
  target.hostRoutineB = nullptr;
  return 0;
}

bool acquirePanelService(GlobalLookup lookup) {
  gPanelFunctions = lookup != nullptr ? static_cast<const PanelService*>(lookup("LWXPanel", 0)) : nullptr;
  return gPanelFunctions != nullptr;
}

PanelHandle buildPanel(ShaderInstance* instance) {
  if (gPanelFunctions == nullptr || instance == nullptr) return nullptr;
  const PanelHandle panel = gPanelFunctions->newPanel(1, panelControls);
  if (panel == nullptr) return nullptr;
  gPanelFunctions->addHints(panel, 0, panelHints);
  gPanelFunctions->describeData(panel, panelDataDescription, panelGet, panelSet);
  gPanelFunctions->attachInstance(panel, instance);
  gPanelFunctions->setPanelData(panel, 0, instance);
  return panel;
}

void* panelGet(ShaderInstance* instance, std::uint32_t id) {
  if (instance == nullptr) return nullptr;
  switch (id) {
    case kControlSample:
      return &instance->sample;
    case kControlLightSize:
      return &instance->l_size;
    case kControlUsePrefix:
      return &instance->use_prefix;
    case kControlPrefix:
      return instance->prefix;
    default:
      return nullptr;
  }
}

namespace {
// Length of `text`, reading no more than its first `limit` bytes.
std::size_t boundedLength(const char* text, std::size_t limit) {
  std::size_t length = 0;
  while (length < limit && text[length] != '\0') ++length;
  return length;
}
}  // namespace

int panelSet(ShaderInstance* instance, std::uint32_t id, const void* value) {
  if (instance == nullptr || value == nullptr) return 0;
  switch (id) {
    case kControlSample:
      std::memcpy(&instance->sample, value, sizeof instance->sample);
      return 1;
    case kControlLightSize:
      std::memcpy(&instance->l_size, value, sizeof instance->l_size);
      return 1;
    case kControlUsePrefix:
      std::memcpy(&instance->use_prefix, value, sizeof instance->use_prefix);
      return 1;
    case kControlPrefix: {
      // Taken into a zero-filled copy first, so a shorter text leaves no trace of a longer one, and
      // a host that hands back the field's own address (as panelGet gave it) sets it unchanged.
      const char* text = static_cast<const char*>(value);
      char prefix[sizeof instance->prefix] = {};
      std::memcpy(prefix, text, boundedLength(text, kPrefixCapacity));
      std::memcpy(instance->prefix, prefix, sizeof prefix);
      return 1;
    }
    default:
      return 0;
  }
}

// ---------------------------------------------------------------------------------------------
// The panel's description, as the host reads it.

namespace {
constexpr char kPanelCaption[] = "QX's Kavelmor version 0.12b Options";
}  // namespace

const PanelControl panelControls[5] = {
    {kControlSample, "Sampling count:", "integer"},
    {kControlLightSize, "Light size:", "float"},
    {kControlUsePrefix, "Use prefix:", "iBoolean"},
    {kControlPrefix, "Light prefix:", "string"},
    {0, nullptr, nullptr},
};

// The use-prefix control is drawn as a check box but stored as an integer.
const PanelDataDescription panelDataDescription[5] = {
    {kControlSample, "sample", "integer"},
    {kControlLightSize, "l_size", "float"},
    {kControlUsePrefix, "use_prefix", "integer"},
    {kControlPrefix, "prefix", "string"},
    {0, nullptr, nullptr},
};

// The 0x3D... words are the host's hint codes, each followed by its arguments. The caption's
// address is the list's only address; every other word is a plain number.
// clang-format off
const PanelHint panelHints[kPanelHintCount] = {
    0x3D000B03, 0, reinterpret_cast<PanelHint>(kPanelCaption), 0,
    0x3D014002, kControlSample, 1,
    0x3D014002, kControlLightSize, 0,
    0x3D01F984, kControlUsePrefix, 0, 0, 0, kControlPrefix, 0, 0, 0,
};
// clang-format on
