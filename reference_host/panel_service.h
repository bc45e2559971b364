// "LWXPanel": the host side of the module's options panel. The module describes its panel with a
// control table, a data description and hints, and hands over get/set callbacks; the host applies a
// surface's settings through those callbacks, control by control, as a user editing the panel would.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "module/host_interface.h"
#include "reference_host/scene.h"

// A panel the module built; PanelHandle points at one. Panels belong to the host.
struct HostPanel {
  int kind = 0;
  std::vector<PanelControl> controls;
  std::vector<PanelDataDescription> data;
  const PanelHint* hints = nullptr;
  PanelGet get = nullptr;
  PanelSet set = nullptr;
  void* attached = nullptr;   // attachInstance
  void* panelData = nullptr;  // setPanelData(panel, 0, ...)
};

class PanelError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

const PanelService& panelService();

// Releases every panel built so far (at the end of a session).
void releasePanels();

// Sets each setting the scene gives (sample, l_size, use_prefix, prefix) through the panel's set
// callback, finding each control by its data key. Throws PanelError when the panel lacks a control,
// declares another data type for it, or its set callback refuses the value.
void applySettings(const HostPanel& panel, const ShaderSettings& settings);
