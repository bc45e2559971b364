// One render's worth of host work around the module, in the order the host drives it: load the
// module file, serve the scene, activate the shading server, create one instance per surface that
// carries the shader and give it its settings (saved block, then panel edits), render-init and
// new-time for each; at the end, clean-up and destroy each instance and unload the module.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "reference_host/host_world.h"
#include "reference_host/module_file.h"
#include "reference_host/shading_context.h"

// The most shadow rays one light, and all lights together, may cost one shading sample: the module
// casts sample × sample of them for each point or spot light it lights itself, so a surface whose
// settings ask for more (sample above 100, or sample² × the scene's point and spot lights above
// 100000) is refused before rendering rather than left to run for days.
inline constexpr long long kMostShadowRaysPerLight = 10000;
inline constexpr long long kMostShadowRaysPerSample = 100000;

class RenderSession {
 public:
  // Throws ModuleError, SceneError-like std::runtime_errors, PanelError or SettingsBlockError, each
  // with a message that says what and where. One session at a time per process.
  RenderSession(const std::string& modulePath, Scene scene);
  ~RenderSession();
  RenderSession(const RenderSession&) = delete;
  RenderSession& operator=(const RenderSession&) = delete;

  const HostWorld& world() const { return *world_; }
  const ShaderBinding& shader() const { return binding_; }
  // The instance of a surface that carries the shader, or null.
  ShaderInstance* instance(int surface) const { return binding_.instanceFor(surface); }
  // The block the module's save routine writes for that surface's instance.
  std::vector<std::uint8_t> savedSettings(int surface) const;
  // The module's one-line description of that surface's instance.
  std::string description(int surface) const;

 private:
  void createInstance(int surface);
  void destroyInstances();

  std::unique_ptr<ModuleFile> module_;
  std::unique_ptr<HostWorld> world_;
  ShaderBinding binding_;
};
