// The module's one export: the descriptor the host reads after loading the module file, with the
// start-up and shut-down routines and the list of servers.
#pragma once

#include "module/host_interface.h"

// Marks the descriptor as the module file's only exported symbol; everything else is hidden.
#if defined(_WIN32)
#define KAVELMOR_EXPORT __declspec(dllexport)
#else
#define KAVELMOR_EXPORT __attribute__((visibility("default")))
#endif

// Called once after the host reads the descriptor: 4.
int moduleStartup();

// Called before the module is unloaded; the module holds nothing to release.
void moduleShutdown(void* ignored);

// "ShaderHandler" and "ShaderInterface", both "QX_Kavelmor", then an all-zero entry.
extern const ServerEntry moduleServers[3];

extern "C" KAVELMOR_EXPORT ModuleDescriptor _mod_descrip;
