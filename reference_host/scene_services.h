// The host services the module looks up by name, answered from the world being served: items,
// lights, objects, images, surface channels and the backdrop. "LWXPanel" lives in panel_service.h.
#pragma once

#include "module/host_interface.h"

class HostWorld;

// The world the services answer from. Set before the module is activated and kept while it renders;
// one world at a time per process, since the service routines have no context argument.
void serveWorld(const HostWorld* world);
const HostWorld* servedWorld();

// The host's global lookup routine, handed to every server activation: a service name and 0 give
// the service's table, an unknown name gives null.
void* lookupService(const char* serviceName, int use);
