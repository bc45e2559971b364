// Loading the module file as the host does: dlopen, the one exported symbol "_mod_descrip", the
// descriptor's fixed words, the start-up routine, the two servers found by class and name, and the
// shading server's activation, which fills the routine tables this class keeps.
#pragma once

#include <stdexcept>
#include <string>

#include "module/host_interface.h"

class ModuleError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class ModuleFile {
 public:
  // Loads the file, checks the descriptor, calls the start-up routine and finds both servers.
  // Throws ModuleError with a message naming the file when any of that fails.
  explicit ModuleFile(const std::string& path);
  ~ModuleFile();  // the shut-down routine, then the file is unloaded
  ModuleFile(const ModuleFile&) = delete;
  ModuleFile& operator=(const ModuleFile&) = delete;

  // Activates the shading server (version 4); afterwards the tables below hold the module's
  // routines. Throws ModuleError when the module refuses or leaves a routine out.
  void activateShader(GlobalLookup lookup);
  // Activates the panel server for one instance and returns the panel the module built, or null.
  PanelHandle activateInterface(GlobalLookup lookup, ShaderInstance* instance);

  const InstanceRoutines& instanceRoutines() const { return instanceRoutines_; }
  const RenderRoutines& renderRoutines() const { return renderRoutines_; }
  EvaluateRoutine evaluate() const { return handler_.evaluate; }
  const std::string& path() const { return path_; }

 private:
  [[noreturn]] void fail(const std::string& message) const;
  void checkDescriptor() const;
  void findServers();

  std::string path_;
  void* library_ = nullptr;
  const ModuleDescriptor* descriptor_ = nullptr;
  ServerActivate shaderServer_ = nullptr;
  ServerActivate interfaceServer_ = nullptr;
  InstanceRoutines instanceRoutines_{};
  ItemRoutines itemRoutines_{};
  RenderRoutines renderRoutines_{};
  HandlerRecord handler_{};
};
