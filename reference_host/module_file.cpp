#include "reference_host/module_file.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstring>

namespace {

constexpr const char* kServerName = "QX_Kavelmor";
constexpr int kMaxServers = 64;  // a longer list has lost its terminating entry

std::string hex(std::uint32_t word) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", word);
  return text;
}

}  // namespace

ModuleFile::ModuleFile(const std::string& path) : path_(path) {
  struct stat status {};
  if (stat(path.c_str(), &status) != 0) fail("no such module file");
  if (!S_ISREG(status.st_mode)) fail("not a module file (not a regular file)");
  library_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library_ == nullptr) {
    const char* reason = dlerror();
    fail(std::string("not a module file (it cannot be loaded: ") + (reason ? reason : "unknown reason") + ")");
  }
  descriptor_ = static_cast<const ModuleDescriptor*>(dlsym(library_, "_mod_descrip"));
  if (descriptor_ == nullptr) fail("not a module file (it exports no _mod_descrip)");
  checkDescriptor();
  if (descriptor_->startup() == 0) fail("the module's start-up routine refused to start");
  findServers();
}

ModuleFile::~ModuleFile() {
  if (library_ == nullptr) return;
  if (descriptor_ != nullptr && descriptor_->shutdown != nullptr) descriptor_->shutdown(nullptr);
  dlclose(library_);
}

void ModuleFile::fail(const std::string& message) const {
  if (library_ != nullptr) dlclose(library_);
  throw ModuleError(path_ + ": " + message);
}

void ModuleFile::checkDescriptor() const {
  const ModuleDescriptor& d = *descriptor_;
  if (d.magic != kDescriptorMagic)
    fail("bad module descriptor: word 0 is " + hex(d.magic) + ", expected " + hex(kDescriptorMagic));
  if (d.count != kDescriptorCount)
    fail("bad module descriptor: word 1 is " + hex(d.count) + ", expected " + hex(kDescriptorCount));
  if (d.version != kDescriptorVersion) {
    fail("bad module descriptor: word 2 is " + hex(d.version) + ", expected " + hex(kDescriptorVersion));
  }
  if (d.startup == nullptr) fail("bad module descriptor: no start-up routine");
  if (d.shutdown == nullptr) fail("bad module descriptor: no shut-down routine");
  if (d.servers == nullptr) fail("bad module descriptor: no server list");
}

void ModuleFile::findServers() {
  for (int i = 0; i < kMaxServers; ++i) {
    const ServerEntry& entry = descriptor_->servers[i];
    if (entry.serverClass == nullptr && entry.serverName == nullptr && entry.activate == nullptr) break;
    if (i + 1 == kMaxServers) fail("bad module descriptor: the server list has no end");
    if (entry.serverClass == nullptr || entry.serverName == nullptr || entry.activate == nullptr) continue;
    if (std::strcmp(entry.serverName, kServerName) != 0) continue;
    if (std::strcmp(entry.serverClass, "ShaderHandler") == 0) shaderServer_ = entry.activate;
    if (std::strcmp(entry.serverClass, "ShaderInterface") == 0) interfaceServer_ = entry.activate;
  }
  if (shaderServer_ == nullptr) fail("the module lists no \"ShaderHandler\" server named \"QX_Kavelmor\"");
  if (interfaceServer_ == nullptr) fail("the module lists no \"ShaderInterface\" server named \"QX_Kavelmor\"");
}

void ModuleFile::activateShader(GlobalLookup lookup) {
  instanceRoutines_ = InstanceRoutines{};
  itemRoutines_ = ItemRoutines{};
  renderRoutines_ = RenderRoutines{};
  handler_ = HandlerRecord{&instanceRoutines_, &itemRoutines_, &renderRoutines_, nullptr, nullptr};
  const int result = shaderServer_(kServerVersion, lookup, &handler_);
  if (result != 0)
    throw ModuleError(path_ + ": the shading server refused activation (result " + std::to_string(result) + ")");
  const InstanceRoutines& r = instanceRoutines_;
  if (r.create == nullptr || r.destroy == nullptr || r.copy == nullptr || r.load == nullptr || r.save == nullptr ||
      r.describe == nullptr || renderRoutines_.init == nullptr || renderRoutines_.newTime == nullptr ||
      handler_.evaluate == nullptr) {
    throw ModuleError(path_ + ": the shading server's activation left a routine out");
  }
}

PanelHandle ModuleFile::activateInterface(GlobalLookup lookup, ShaderInstance* instance) {
  InterfaceRecord record{instance, nullptr, nullptr, nullptr};
  const int result = interfaceServer_(kServerVersion, lookup, &record);
  if (result != 0)
    throw ModuleError(path_ + ": the panel server refused activation (result " + std::to_string(result) + ")");
  return record.panel;
}
