#include "reference_host/render_session.h"

#include <cstdint>
#include <stdexcept>

#include "reference_host/panel_service.h"
#include "reference_host/scene_services.h"
#include "reference_host/settings_block.h"

namespace {

// The instance's settings as the module holds them, wherever they came from (its defaults, a saved
// block, panel edits): `sample` is the block's first four bytes, a little-endian signed word.
void checkShadowRays(const std::vector<std::uint8_t>& block, const Scene& scene) {
  if (block.size() < 4) throw SettingsBlockError("the module saved a settings block shorter than 4 bytes");
  const auto sample = static_cast<std::int32_t>(
      static_cast<std::uint32_t>(block[0]) | static_cast<std::uint32_t>(block[1]) << 8u |
      static_cast<std::uint32_t>(block[2]) << 16u | static_cast<std::uint32_t>(block[3]) << 24u);
  const long long rays = sample > 0 ? static_cast<long long>(sample) * sample : 0;
  if (rays > kMostShadowRaysPerLight) {
    throw SettingsBlockError("sample " + std::to_string(sample) + " asks for " + std::to_string(rays) +
                             " shadow rays per light for every shading sample; the host allows at most " +
                             std::to_string(kMostShadowRaysPerLight) + " (sample up to 100)");
  }
  // Every point and spot light counts, whatever the prefix filter would let through.
  long long lights = 0;
  for (const SceneLight& light : scene.lights) lights += light.kind == kLightPoint || light.kind == kLightSpot;
  if (rays * lights > kMostShadowRaysPerSample) {
    throw SettingsBlockError("sample " + std::to_string(sample) + " with " + std::to_string(lights) +
                             " point and spot lights asks for " + std::to_string(rays * lights) +
                             " shadow rays for every shading sample; the host allows at most " +
                             std::to_string(kMostShadowRaysPerSample));
  }
}

}  // namespace

RenderSession::RenderSession(const std::string& modulePath, Scene scene) {
  if (servedWorld() != nullptr) throw std::logic_error("only one render session at a time");
  module_ = std::make_unique<ModuleFile>(modulePath);
  world_ = std::make_unique<HostWorld>(std::move(scene));
  serveWorld(world_.get());
  try {
    module_->activateShader(lookupService);
    binding_.evaluate = module_->evaluate();
    binding_.instances.assign(world_->scene().surfaces.size(), nullptr);
    for (std::size_t i = 0; i < world_->scene().surfaces.size(); ++i) {
      if (world_->scene().surfaces[i].carriesShader) createInstance(static_cast<int>(i));
    }
    for (ShaderInstance* instance : binding_.instances) {
      if (instance != nullptr) module_->renderRoutines().init(instance);
    }
    for (ShaderInstance* instance : binding_.instances) {
      if (instance != nullptr) module_->renderRoutines().newTime(instance, 0, world_->scene().time);
    }
  } catch (...) {
    destroyInstances();
    serveWorld(nullptr);
    throw;
  }
}

RenderSession::~RenderSession() {
  for (ShaderInstance* instance : binding_.instances) {
    if (instance != nullptr && module_->renderRoutines().cleanup != nullptr)
      module_->renderRoutines().cleanup(instance);
  }
  destroyInstances();
  serveWorld(nullptr);
}

void RenderSession::createInstance(int surface) {
  const SceneSurface& settings = world_->scene().surfaces[surface];
  ShaderInstance* instance = module_->instanceRoutines().create(nullptr, world_->surfaceHandle(surface));
  if (instance == nullptr)
    throw std::runtime_error("the module could not create an instance for surface \"" + settings.name + "\"");
  binding_.instances[surface] = instance;
  const ShaderSettings& wanted = settings.shader;
  try {
    if (wanted.savedBlockHex) loadSettingsBlock(module_->instanceRoutines(), instance, fromHex(*wanted.savedBlockHex));
    if (wanted.sample || wanted.lSize || wanted.usePrefix || wanted.prefix) {
      HostPanel* panel = module_->activateInterface(lookupService, instance);
      if (panel == nullptr) throw PanelError("the module built no options panel");
      applySettings(*panel, wanted);
    }
    checkShadowRays(saveSettingsBlock(module_->instanceRoutines(), instance), world_->scene());
  } catch (const std::runtime_error& error) {
    throw std::runtime_error("surface \"" + settings.name + "\": " + error.what());
  }
}

void RenderSession::destroyInstances() {
  for (ShaderInstance*& instance : binding_.instances) {
    if (instance != nullptr) module_->instanceRoutines().destroy(instance);
    instance = nullptr;
  }
  releasePanels();
}

std::vector<std::uint8_t> RenderSession::savedSettings(int surface) const {
  ShaderInstance* shaderInstance = instance(surface);
  return shaderInstance ? saveSettingsBlock(module_->instanceRoutines(), shaderInstance) : std::vector<std::uint8_t>{};
}

std::string RenderSession::description(int surface) const {
  ShaderInstance* shaderInstance = instance(surface);
  const char* text = shaderInstance ? module_->instanceRoutines().describe(shaderInstance) : nullptr;
  return text ? text : "";
}
