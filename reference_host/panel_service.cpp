#include "reference_host/panel_service.h"

#include <cstring>
#include <mutex>

namespace {

std::mutex gPanelsMutex;
std::vector<std::unique_ptr<HostPanel>> gPanels;

template <typename Row>
std::vector<Row> rowsUntilZero(const Row* rows) {
  std::vector<Row> result;
  for (int i = 0; rows != nullptr && rows[i].id != 0 && i < 1024; ++i) result.push_back(rows[i]);
  return result;
}

PanelHandle newPanel(int kind, const PanelControl* controls) {
  auto panel = std::make_unique<HostPanel>();
  panel->kind = kind;
  panel->controls = rowsUntilZero(controls);
  std::lock_guard<std::mutex> lock(gPanelsMutex);
  gPanels.push_back(std::move(panel));
  return gPanels.back().get();
}

HostPanel& panelOf(PanelHandle handle) { return *handle; }

void describeData(PanelHandle panel, const PanelDataDescription* data, PanelGet get, PanelSet set) {
  panelOf(panel).data = rowsUntilZero(data);
  panelOf(panel).get = get;
  panelOf(panel).set = set;
}
void addHints(PanelHandle panel, std::uint32_t, const PanelHint* hints) { panelOf(panel).hints = hints; }
void setPanelData(PanelHandle panel, std::uint32_t, void* data) { panelOf(panel).panelData = data; }
void attachInstance(PanelHandle panel, void* instance) { panelOf(panel).attached = instance; }

const PanelService kPanelService = [] {
  PanelService table{};
  table.newPanel = newPanel;
  table.describeData = describeData;
  table.addHints = addHints;
  table.setPanelData = setPanelData;
  table.attachInstance = attachInstance;
  return table;
}();

// Hands one value to the control whose data key is `key`, checking the declared data type.
void setControl(const HostPanel& panel, const char* key, const char* type, const void* value) {
  for (const PanelDataDescription& row : panel.data) {
    if (row.dataKey == nullptr || std::strcmp(row.dataKey, key) != 0) continue;
    if (row.dataType == nullptr || std::strcmp(row.dataType, type) != 0) {
      throw PanelError(std::string("the panel declares \"") + key + "\" as \"" + (row.dataType ? row.dataType : "") +
                       "\", not \"" + type + "\"");
    }
    void* instance = panel.panelData != nullptr ? panel.panelData : panel.attached;
    if (panel.set == nullptr || instance == nullptr) throw PanelError("the panel has no data to edit");
    if (panel.set(static_cast<ShaderInstance*>(instance), row.id, value) == 0) {
      throw PanelError(std::string("the panel refused the value for \"") + key + "\"");
    }
    return;
  }
  throw PanelError(std::string("the panel has no control for \"") + key + "\"");
}

}  // namespace

const PanelService& panelService() { return kPanelService; }

void releasePanels() {
  std::lock_guard<std::mutex> lock(gPanelsMutex);
  gPanels.clear();
}

void applySettings(const HostPanel& panel, const ShaderSettings& settings) {
  if (settings.sample) {
    const std::int32_t value = *settings.sample;
    setControl(panel, "sample", "integer", &value);
  }
  if (settings.lSize) {
    const double value = *settings.lSize;
    setControl(panel, "l_size", "float", &value);
  }
  if (settings.usePrefix) {
    const std::int32_t value = *settings.usePrefix;
    setControl(panel, "use_prefix", "integer", &value);
  }
  if (settings.prefix) setControl(panel, "prefix", "string", settings.prefix->c_str());
}
