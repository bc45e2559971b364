// The options-panel server: describes the four-control panel to the host's "LWXPanel" service and
// maps the panel's control ids to the fields of one ShaderInstance.
#pragma once

#include <cstdint>

#include "instance/shader_instance.h"
#include "module/host_interface.h"

// Control ids, shared by the three tables and both callbacks.
inline constexpr std::uint32_t kControlSample = 0x8001;
inline constexpr std::uint32_t kControlLightSize = 0x8002;
inline constexpr std::uint32_t kControlUsePrefix = 0x8003;
inline constexpr std::uint32_t kControlPrefix = 0x8004;

inline constexpr int kPanelHintCount = 19;

extern const PanelControl panelControls[5];
extern const PanelDataDescription panelDataDescription[5];
extern const PanelHint panelHints[kPanelHintCount];

// The "LWXPanel" table of the latest activation, or null.
extern const PanelService* gPanelFunctions;

// The "ShaderInterface" server's activation: builds the panel for the record's instance and hands
// it over in the record. 1 when the version is not 4 or there is no record, else 0, panel or not.
int activateInterface(int version, GlobalLookup lookup, void* record);

// Looks "LWXPanel" up into gPanelFunctions; true when found.
bool acquirePanelService(GlobalLookup lookup);

// A new panel editing `instance`, or null without the service, without an instance, or when the
// host makes no panel. The panel belongs to the host.
PanelHandle buildPanel(ShaderInstance* instance);

// The address of the instance's field for a control id, or null for an unknown id.
void* panelGet(ShaderInstance* instance, std::uint32_t id);

// Stores the value at `value` in the field for a control id: 1 for a known id, 0 otherwise (and
// for a null value, which changes nothing). A prefix is cut to 16 characters and zero-filled.
int panelSet(ShaderInstance* instance, std::uint32_t id, const void* value);
