#include "module/module_descriptor.h"

#include "instance/options_panel.h"
#include "module/shading_server.h"

int moduleStartup() { return 4; }

void moduleShutdown(void*) {}

namespace {
// Both servers point at this one text.
constexpr char kServerName[] = "QX_Kavelmor";
}  // namespace

const ServerEntry moduleServers[3] = {
    {"ShaderHandler", kServerName, activateShader, nullptr},
    {"ShaderInterface", kServerName, activateInterface, nullptr},
    {nullptr, nullptr, nullptr, nullptr},
};

// C linkage and the export come from the declaration in the header.
ModuleDescriptor _mod_descrip = {
    kDescriptorMagic, kDescriptorCount, kDescriptorVersion, moduleStartup, moduleShutdown, moduleServers,
};
