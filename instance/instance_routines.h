// The routines the host calls to create, copy, load, save, describe and destroy the per-surface
// settings. activateShader installs them in the host's instance table; the host calls them on its
// own schedule, never while a sample of the same surface is being evaluated.
#pragma once

#include "instance/shader_instance.h"
#include "module/host_interface.h"

// The one-line description every instance gives of itself.
inline constexpr char kInstanceDescription[] = "QX's Kavelmor version 0.12b";

// A new instance with the defaults (6 rays per edge, size 1.0, no prefix) for `surface`; the whole
// record is cleared first. Null when out of memory.
ShaderInstance* instanceCreate(void* hostWord, SurfaceHandle surface);

// Releases the record; null is ignored.
void instanceDestroy(ShaderInstance* instance);

// Copies the four settings and the description into `destination`. The destination keeps its own
// surface: a copy made for another surface must go on reading that surface's channels. Returns 0.
int instanceCopy(ShaderInstance* destination, const ShaderInstance* source);

// Loads or saves the settings as 4 + 8 + 4 + 17 raw bytes through the host's transfer routine (the
// host decides the direction). Nothing happens unless the mode is 0. Returns 0.
int instanceTransfer(ShaderInstance* instance, const TransferState* state);

// Writes the description into the instance's buffer and returns it; the address stays valid until
// the instance is destroyed.
const char* instanceDescribe(ShaderInstance* instance);
