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
  Vec3 normal;     // 280: shading normal, not necessarily unit length
  Vec3 baseColor;  // 304: surface colour
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
// module calls only the named entries, the others are placeholders that keep the indexes.
// All routines are the host's, callable from any thread that is evaluating.

using Unused = void*;

struct ItemInfoService {  // "LW Item Info 3"
  ItemHandle (*firstItemOfKind)(int kind, ItemHandle parent);  // 0: kind 1 = lights; null if none
  ItemHandle (*nextItemOf)(ItemHandle item);                   // 1: next of the same kind, or null
  Unused unused2to7[6];
  const char* (*nameOfItem)(ItemHandle item);  // 8: NUL-terminated name, owned by the host
  // 9: code 8 world position, code 4 forward axis, at `time`.
  void (*itemVector)(ItemHandle item, int code, double time, Vec3* vector);
};
inline constexpr int kItemKindLight = 1;
inline constexpr int kVectorWorldPosition = 8;
inline constexpr int kVectorForwardAxis = 4;

struct LightInfoService {  // "LW Light Info 3"
  void (*ambientColor)(double time, Vec3* colour);                       // 0
  int (*kindOfLight)(ItemHandle light);                                  // 1: see LightKind
  void (*emittedColor)(ItemHandle light, double time, Vec3* colour);     // 2
  int (*shadowKind)(ItemHandle light);                                   // 3: 1 ray-traced
  void (*spotCone)(ItemHandle light, double time, double* cone, double* edge);  // 4: radians
  unsigned (*lightFlagBits)(ItemHandle light);                           // 5: see kLightNo*
  double (*rangeOfLight)(ItemHandle light, double time);                 // 6
  int (*falloffKind)(ItemHandle light);                                  // 7: 1 linear, 2 1/d, 3 1/d²
};
enum LightKind : int { kLightDistant = 0, kLightPoint = 1, kLightSpot = 2, kLightHostOnlyA = 3, kLightHostOnlyB = 4 };
inline constexpr int kShadowRayTraced = 1;
inline constexpr unsigned kLightNoDiffuse = 1u << 1;
inline constexpr unsigned kLightNoSpecular = 1u << 2;

struct ObjectInfoService {  // "LW Object Info 4"
  Unused unused0to18[19];
  int (*excludesLight)(ItemHandle object, ItemHandle light);  // 19: non-zero when excluded
};

struct ImageListService {  // "LW Image List 3"
  Unused unused0to5[6];
  int (*requestSpotFiltering)(ImageHandle image);                        // 6: result not read
  void (*imageDimensions)(ImageHandle image, int* width, int* height);   // 7
  Unused unused8to10[3];
  // 11: filtered colour around (x, y) in unit coordinates, spot size in the same unit; blend 1.
  void (*spotColor)(ImageHandle image, double x, double y, double spotSize, int blend, Vec3* colour);
};

struct SurfaceFunctionsService {  // "Surface Functions 2"
  Unused unused0to6[7];
  int (*channelInt)(SurfaceHandle surface, const char* channel);             // 7
  const double* (*channelFloat)(SurfaceHandle surface, const char* channel); // 8: or null
  Unused unused9to10[2];
  ImageHandle (*channelImage)(SurfaceHandle surface, const char* channel);   // 11: or null
};

struct BackdropInfoService {  // "LW Backdrop Info 2"
  void (*backdropColor)(double time, const Vec3* direction, Vec3* colour);  // 0
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
using PanelGet = void* (*)(ShaderInstance* instance, std::uint32_t id);  // the field, or null
using PanelSet = int (*)(ShaderInstance* instance, std::uint32_t id, const void* value);  // 1 if known

struct PanelService {  // "LWXPanel"
  Unused unused0to1[2];
  PanelHandle (*newPanel)(int kind, const PanelControl* controls);  // 2: or null
  Unused unused3;
  void (*describeData)(PanelHandle panel, const PanelDataDescription* data, PanelGet get, PanelSet set);  // 4
  void (*addHints)(PanelHandle panel, std::uint32_t id, const PanelHint* hints);  // 5
  Unused unused6;
  void (*setPanelData)(PanelHandle panel, std::uint32_t id, void* data);  // 7
  Unused unused8to9[2];
  void (*attachInstance)(PanelHandle panel, void* instance);  // 10
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
  std::int32_t mode;  // 0: raw bytes are transferred; anything else: nothing is
  void* hostData;     // first argument of `transfer`
  TransferRoutine transfer;  // reads into (load) or writes from (save) the buffer; result unread
};

// Instance routines, installed by the shading server's activation and called by the host on its
// own (non-rendering) schedule. The host holds the only reference to each instance.
struct InstanceRoutines {
  void* hostWord;  // the host's own; the module leaves it alone
  ShaderInstance* (*create)(void* hostWord, SurfaceHandle surface);  // null when out of memory
  void (*destroy)(ShaderInstance* instance);
  int (*copy)(ShaderInstance* destination, const ShaderInstance* source);  // 0
  int (*load)(ShaderInstance* instance, const TransferState* state);       // 0
  int (*save)(ShaderInstance* instance, const TransferState* state);       // 0
  const char* (*describe)(ShaderInstance* instance);  // valid until the instance is destroyed
};

struct ItemRoutines {
  const ItemHandle* (*usedItems)(ShaderInstance* instance);  // null-terminated list, or null
  void (*itemIdChanged)(ShaderInstance* instance);
};

struct RenderRoutines {
  int (*init)(ShaderInstance* instance);     // render start, once per instance: 0
  void (*cleanup)(ShaderInstance* instance); // render end
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
