// The host application's plug-in interface, as this module sees it.
//
// Everything here crosses the boundary between the host and the module. The host is a 32-bit x86
// program: every word is 32 bits, little-endian, and routines use the C calling convention. The
// records keep their 32-bit layout whatever the compiler's alignment rules for doubles (explicit
// reserved bytes, pinned by static_asserts below in every 32-bit build). A 64-bit build of the same
// header is used by our own tests and reference host; there pointers widen and only the field order
// is kept.
//
// Handles are opaque: the module passes them back to the host and never looks inside.
#pragma once

#include <cstddef>
#include <cstdint>

// Three doubles, x y z or r g b. Made without values it is (0, 0, 0), so a colour nothing writes is
// black; the host's out-parameters of type Vec3* are double[3] on the host's side.
struct Vec3 {
  double x = 0.0;
  double y = 0.0;
  double z = 0.0;
};

struct HostItem;
struct HostSurface;
struct HostImage;
struct HostPanel;
using ItemHandle = HostItem*;        // a scene item: light, object
using SurfaceHandle = HostSurface*;  // a surface, as passed to instanceCreate
using ImageHandle = HostImage*;
using PanelHandle = HostPanel*;

// lightAtPoint also answers for these two pseudo-lights.
inline ItemHandle const kIndirectLight = reinterpret_cast<ItemHandle>(std::uintptr_t{0x21000000});
inline ItemHandle const kCausticsLight = reinterpret_cast<ItemHandle>(std::uintptr_t{0x22000000});

struct ShaderInstance;  // the module's per-surface record; opaque to the host

// Global lookup: given a service name and 0, the service's routine table or null.
// Called by the module only during activation.
using GlobalLookup = void* (*)(const char* serviceName, int use);

// ---------------------------------------------------------------------------------------------
// Per-sample record, handed to the evaluation routine. The host owns it; the module reads the
// fields below and writes only replaceFraction and replaceColor. Bytes the module does not use are
// reserved: their contents belong to the host.
struct ShaderAccess {
  unsigned char reserved0[32];
  Vec3 position;  // 32: world position of the sample
  unsigned char reserved56[32];
  Vec3 rayOrigin;  // 88: where the ray that reached the sample started
  unsigned char reserved112[160];
  ItemHandle objectId;  // 272: the object being shaded
#if UINTPTR_MAX == 0xFFFFFFFFu
  unsigned char reserved276[4];
#endif
  Vec3 normal;                // 280: shading normal, not necessarily unit length
  Vec3 baseColor;             // 304: surface colour
  double luminosity;          // 328
  double diffuse;             // 336
  double specular;            // 344
  double mirror;              // 352
  double transparency;        // 360
  double refractiveIndex;     // 368
  double highlightRoughness;  // 376

  // The host's illumination of `position` by `light` (or a pseudo-light): fills the direction of
  // the light's travel and its colour there, with the host's own shadowing; 0 when it does not
  // reach. Safe to call from inside the evaluation, on the evaluating thread.
  int (*lightAtPoint)(ItemHandle light, const Vec3* position, Vec3* direction, Vec3* colour);  // 384
  // Traces a ray and shades what it hits (possibly evaluating this shader again, nested). Fills
  // the colour; returns the hit length, negative when nothing was hit.
  double (*traceColor)(const Vec3* origin, const Vec3* direction, Vec3* colour);  // 388
  // Distance along a unit direction to the nearest surface; negative when nothing is hit.
  double (*castDistance)(const Vec3* origin, const Vec3* direction);  // 392

  unsigned char reserved396[60];
  double highlightTint;  // 456
  double filterTint;     // 464
  unsigned char reserved472[104];
  double replaceFraction;  // 576: written 1.0 by the module
  Vec3 replaceColor;       // 584: the sample's complete colour, written by the module
};

// ---------------------------------------------------------------------------------------------
// Host services, looked up by name at activation. Entry k of a table is its k-th routine; the
// module calls only the named entries, the others are placeholders that keep the indexes. The
// tables belong to the host and stay valid while the module is loaded; the module never frees them.
// Unless an entry says otherwise, the module calls it while evaluating a sample, on whichever
// thread the host evaluates on (possibly many at once, possibly nested inside traceColor). Every
// `time` argument is the latest time handed to the new-time routine. Out-parameters are written by
// the host; the module zeroes them first where a host that writes nothing must leave black.

using Unused = void*;

// "LW Item Info 3": walking the scene's lights and asking where they are.
struct ItemInfoService {
  // 0: the first item of `kind` (1 = lights; parent null), or null when the scene has none.
  ItemHandle (*firstItemOfKind)(int kind, ItemHandle parent);
  // 1: the next item of the same kind, or null after the last.
  ItemHandle (*nextItemOf)(ItemHandle item);
  Unused unused2to7[6];
  // 8: the item's NUL-terminated name, owned by the host; read at once, never kept.
  const char* (*nameOfItem)(ItemHandle item);
  // 9: a vector of the item at `time`: code 8 its world position, code 4 its forward axis.
  void (*itemVector)(ItemHandle item, int code, double time, Vec3* vector);
};
inline constexpr int kItemKindLight = 1;
inline constexpr int kVectorWorldPosition = 8;
inline constexpr int kVectorForwardAxis = 4;

// "LW Light Info 3": what a light is and emits.
struct LightInfoService {
  // 0: the scene's ambient colour.
  void (*ambientColor)(double time, Vec3* colour);
  // 1: the light's kind, a LightKind code.
  int (*kindOfLight)(ItemHandle light);
  // 2: the colour the light emits, intensity included.
  void (*emittedColor)(ItemHandle light, double time, Vec3* colour);
  // 3: how the light's shadows are made; kShadowRayTraced for ray-traced shadows.
  int (*shadowKind)(ItemHandle light);
  // 4: a spot light's cone angle and the width of its soft edge, inward from the cone, in radians.
  void (*spotCone)(ItemHandle light, double time, double* cone, double* edge);
  // 5: flag bits; the module reads kLightNoDiffuse and kLightNoSpecular and ignores the others.
  unsigned (*lightFlagBits)(ItemHandle light);
  // 6: the distance at which the light's falloff reaches its nominal strength (linear: zero).
  double (*rangeOfLight)(ItemHandle light, double time);
  // 7: the falloff code: 1 linear to the range, 2 inverse distance, 3 inverse square, else none.
  int (*falloffKind)(ItemHandle light);
};
// Kinds 3 and 4 are lights the module always leaves to the host's own illumination.
enum LightKind : int { kLightDistant = 0, kLightPoint = 1, kLightSpot = 2, kLightHostOnlyA = 3, kLightHostOnlyB = 4 };
inline constexpr int kShadowRayTraced = 1;
inline constexpr unsigned kLightNoDiffuse = 1u << 1;
inline constexpr unsigned kLightNoSpecular = 1u << 2;

// "LW Object Info 4": which lights an object sees.
struct ObjectInfoService {
  Unused unused0to18[19];
  // 19: non-zero when `object` excludes `light` (a scene light or one of the two pseudo-lights).
  int (*excludesLight)(ItemHandle object, ItemHandle light);
};

// "LW Image List 3": filtered lookups in spherical environment images.
struct ImageListService {
  Unused unused0to5[6];
  // 6: called by the module at render start (not while evaluating): prepare the image for spot
  // lookups. The result is not read.
  int (*requestSpotFiltering)(ImageHandle image);
  // 7: the image's size in pixels.
  void (*imageDimensions)(ImageHandle image, int* width, int* height);
  Unused unused8to10[3];
  // 11: the filtered colour of the spot of `spotSize` around (x, y), all in unit coordinates
  // (x across, y down); the module always passes blend 1.
  void (*spotColor)(ImageHandle image, double x, double y, double spotSize, int blend, Vec3* colour);
};

// "Surface Functions 2": a surface's own settings, read by channel name.
struct SurfaceFunctionsService {
  Unused unused0to6[7];
  // 7: an integer channel, e.g. "ReflectionOptions".
  int (*channelInt)(SurfaceHandle surface, const char* channel);
  // 8: the address of a floating-point channel's value, owned by the host, or null.
  const double* (*channelFloat)(SurfaceHandle surface, const char* channel);
  Unused unused9to10[2];
  // 11: an image channel, e.g. "ReflectionImage", or null when none is set.
  ImageHandle (*channelImage)(SurfaceHandle surface, const char* channel);
};

// "LW Backdrop Info 2": what lies behind everything.
struct BackdropInfoService {
  // 0: the backdrop's colour seen along `direction`.
  void (*backdropColor)(double time, const Vec3* direction, Vec3* colour);
};

// The panel service's declarative tables. Rows end with an all-zero row; texts live as long as the
// module is loaded.
struct PanelControl {
  std::uint32_t id;
  const char* label;
  const char* controlType;
};
struct PanelDataDescription {
  std::uint32_t id;
  const char* dataKey;
  const char* dataType;
};
using PanelHint = std::uintptr_t;  // hint words; one of them is an address, hence pointer-sized
// Panel callbacks, called by the host one at a time on its interface thread, never while a
// sample of the same surface is being evaluated.
// The address of the instance's field for control `id`, or null for an unknown id.
using PanelGet = void* (*)(ShaderInstance* instance, std::uint32_t id);
// Sets the field for control `id` from the value at `value`: 1 for a known id, 0 otherwise.
using PanelSet = int (*)(ShaderInstance* instance, std::uint32_t id, const void* value);

// "LWXPanel": the host draws the options panel from the module's declarative tables. Called by the
// module only from the panel server's activation, on the host's interface thread.
struct PanelService {
  Unused unused0to1[2];
  // 2: a new panel of `kind` (the module passes 1) with the given controls, or null.
  PanelHandle (*newPanel)(int kind, const PanelControl* controls);
  Unused unused3;
  // 4: the data behind the controls and the callbacks that reach it.
  void (*describeData)(PanelHandle panel, const PanelDataDescription* data, PanelGet get, PanelSet set);
  // 5: layout hints (caption, ranges, ...) for the panel (id 0) or one control.
  void (*addHints)(PanelHandle panel, std::uint32_t id, const PanelHint* hints);
  Unused unused6;
  // 7: the data pointer the host passes back to the callbacks (id 0: the whole panel).
  void (*setPanelData)(PanelHandle panel, std::uint32_t id, void* data);
  Unused unused8to9[2];
  // 10: the instance the panel edits.
  void (*attachInstance)(PanelHandle panel, void* instance);
};

// ---------------------------------------------------------------------------------------------
// Records of the plug-in shell.

// Called by the host after it reads the descriptor; returns 4.
using ModuleStartup = int (*)();
using ModuleShutdown = void (*)(void* ignored);
// Server activation, called by the host after it registers the server: 0 on success, 1 when the
// version is not 4 or `record` is null. `record` is the server class's own record (HandlerRecord or
// InterfaceRecord), owned by the host. Further arguments the host passes are ignored.
using ServerActivate = int (*)(int version, GlobalLookup lookup, void* record);

struct ServerEntry {
  const char* serverClass;
  const char* serverName;
  ServerActivate activate;
  void* reserved;  // 0
};

struct ModuleDescriptor {
  std::uint32_t magic;    // 0x04121994
  std::uint32_t count;    // 3
  std::uint32_t version;  // 0x300
  ModuleStartup startup;
  ModuleShutdown shutdown;
  const ServerEntry* servers;  // ends with an all-zero entry
};
inline constexpr std::uint32_t kDescriptorMagic = 0x04121994u;
inline constexpr std::uint32_t kDescriptorCount = 3;
inline constexpr std::uint32_t kDescriptorVersion = 0x300;
inline constexpr int kServerVersion = 4;

// TransferState: how the host loads or saves an instance's settings.
using TransferRoutine = int (*)(void* hostData, void* buffer, std::int32_t byteCount);
struct TransferState {
  std::int32_t mode;         // 0: raw bytes are transferred; anything else: nothing is
  void* hostData;            // first argument of `transfer`
  TransferRoutine transfer;  // reads into (load) or writes from (save) the buffer; result unread
};

// Instance routines, installed by the shading server's activation and called by the host on its
// own (non-rendering) schedule. The host holds the only reference to each instance.
struct InstanceRoutines {
  void* hostWord;                                                    // the host's own; the module leaves it alone
  ShaderInstance* (*create)(void* hostWord, SurfaceHandle surface);  // null when out of memory
  void (*destroy)(ShaderInstance* instance);
  int (*copy)(ShaderInstance* destination, const ShaderInstance* source);  // 0
  int (*load)(ShaderInstance* instance, const TransferState* state);       // 0
  int (*save)(ShaderInstance* instance, const TransferState* state);       // 0
  const char* (*describe)(ShaderInstance* instance);                       // valid until the instance is destroyed
};

struct ItemRoutines {
  const ItemHandle* (*usedItems)(ShaderInstance* instance);  // null-terminated list, or null
  void (*itemIdChanged)(ShaderInstance* instance);
};

struct RenderRoutines {
  int (*init)(ShaderInstance* instance);                             // render start, once per instance: 0
  void (*cleanup)(ShaderInstance* instance);                         // render end
  int (*newTime)(ShaderInstance* instance, int frame, double time);  // whenever time changes: 0
};

using EvaluateRoutine = void (*)(ShaderInstance* instance, ShaderAccess* access);
using FlagsRoutine = int (*)(ShaderInstance* instance);  // the shader's flag word

// Handed to the shading server's activation; the host owns it and its tables.
struct HandlerRecord {
  InstanceRoutines* instance;
  ItemRoutines* item;  // may be null
  RenderRoutines* render;
  EvaluateRoutine evaluate;  // written by the module
  FlagsRoutine flags;        // written by the module
};

// Handed to the panel server's activation.
struct InterfaceRecord {
  ShaderInstance* instance;  // the instance to edit; read by the module
  PanelHandle panel;         // written: the panel, or null
  void* hostRoutineA;        // written: null
  void* hostRoutineB;        // written: null
};

// ---------------------------------------------------------------------------------------------
// The 32-bit layout the host relies on.
#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(offsetof(ShaderAccess, position) == 32);
static_assert(offsetof(ShaderAccess, rayOrigin) == 88);
static_assert(offsetof(ShaderAccess, objectId) == 272);
static_assert(offsetof(ShaderAccess, normal) == 280);
static_assert(offsetof(ShaderAccess, baseColor) == 304);
static_assert(offsetof(ShaderAccess, luminosity) == 328);
static_assert(offsetof(ShaderAccess, diffuse) == 336);
static_assert(offsetof(ShaderAccess, specular) == 344);
static_assert(offsetof(ShaderAccess, mirror) == 352);
static_assert(offsetof(ShaderAccess, transparency) == 360);
static_assert(offsetof(ShaderAccess, refractiveIndex) == 368);
static_assert(offsetof(ShaderAccess, highlightRoughness) == 376);
static_assert(offsetof(ShaderAccess, lightAtPoint) == 384);
static_assert(offsetof(ShaderAccess, traceColor) == 388);
static_assert(offsetof(ShaderAccess, castDistance) == 392);
static_assert(offsetof(ShaderAccess, highlightTint) == 456);
static_assert(offsetof(ShaderAccess, filterTint) == 464);
static_assert(offsetof(ShaderAccess, replaceFraction) == 576);
static_assert(offsetof(ShaderAccess, replaceColor) == 584);
static_assert(sizeof(Vec3) == 24);

static_assert(offsetof(ItemInfoService, nameOfItem) == 8 * 4);
static_assert(offsetof(ItemInfoService, itemVector) == 9 * 4);
static_assert(offsetof(LightInfoService, falloffKind) == 7 * 4);
static_assert(offsetof(ObjectInfoService, excludesLight) == 19 * 4);
static_assert(offsetof(ImageListService, requestSpotFiltering) == 6 * 4);
static_assert(offsetof(ImageListService, imageDimensions) == 7 * 4);
static_assert(offsetof(ImageListService, spotColor) == 11 * 4);
static_assert(offsetof(SurfaceFunctionsService, channelInt) == 7 * 4);
static_assert(offsetof(SurfaceFunctionsService, channelFloat) == 8 * 4);
static_assert(offsetof(SurfaceFunctionsService, channelImage) == 11 * 4);
static_assert(offsetof(PanelService, newPanel) == 2 * 4);
static_assert(offsetof(PanelService, describeData) == 4 * 4);
static_assert(offsetof(PanelService, addHints) == 5 * 4);
static_assert(offsetof(PanelService, setPanelData) == 7 * 4);
static_assert(offsetof(PanelService, attachInstance) == 10 * 4);

static_assert(sizeof(ModuleDescriptor) == 6 * 4);
static_assert(sizeof(ServerEntry) == 4 * 4);
static_assert(sizeof(HandlerRecord) == 5 * 4);
static_assert(sizeof(InstanceRoutines) == 7 * 4);
static_assert(sizeof(ItemRoutines) == 2 * 4);
static_assert(sizeof(RenderRoutines) == 3 * 4);
static_assert(sizeof(InterfaceRecord) == 4 * 4);
static_assert(sizeof(PanelControl) == 3 * 4);
static_assert(sizeof(PanelDataDescription) == 3 * 4);
static_assert(offsetof(TransferState, hostData) == 1 * 4);
static_assert(offsetof(TransferState, transfer) == 2 * 4);
static_assert(offsetof(HandlerRecord, evaluate) == 3 * 4);
static_assert(offsetof(InterfaceRecord, panel) == 1 * 4);
static_assert(sizeof(PanelHint) == 4);
#endif
