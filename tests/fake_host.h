// A recording fake of the host's services, for tests that call the module's routines directly.
//
// One FakeHost is live at a time (it installs itself into the module's service globals while it
// exists). It holds a tiny scene, answers every service entry from it, and logs each call with its
// arguments as one line of text, so tests can check call orders and the absence of calls.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "instance/shader_instance.h"
#include "module/host_interface.h"

struct FakeLight {
  std::string name = "Light";
  int kind = kLightPoint;
  unsigned flags = 0;
  int shadow = kShadowRayTraced;
  Vec3 colour{1.0, 1.0, 1.0};
  Vec3 position;
  Vec3 forward{0.0, 0.0, 1.0};
  double range = 1.0;
  int falloff = 0;
  double cone = 0.5;
  double edge = 0.1;
  bool excluded = false;
  bool nullName = false;
  // The host path's answer: direction of travel and colour, or "does not reach".
  bool reaches = true;
  Vec3 hostDirection{0.0, -1.0, 0.0};
  Vec3 hostColour{1.0, 1.0, 1.0};
};

struct FakeImage {
  int width = 4;
  int height = 2;
  Vec3 colour{0.25, 0.5, 0.75};
};

class FakeHost {
 public:
  FakeHost();
  ~FakeHost();
  FakeHost(const FakeHost&) = delete;
  FakeHost& operator=(const FakeHost&) = delete;

  // Scene.
  std::vector<FakeLight> lights;
  Vec3 ambient{0.1, 0.1, 0.1};
  bool indirectExcluded = false, indirectGiven = false;
  Vec3 indirect{0.2, 0.2, 0.2};
  bool causticsExcluded = false, causticsGiven = false;
  Vec3 caustics{0.05, 0.05, 0.05};
  Vec3 backdrop{0.3, 0.4, 0.5};
  std::map<std::string, int> channelInts;
  std::map<std::string, double> channelFloats;  // absent: null address
  std::map<std::string, int> channelImages;     // index into images; absent: null image
  std::vector<FakeImage> images;

  // ShaderAccess routines beyond the scene: defaults miss everything.
  std::function<double(const Vec3& origin, const Vec3& direction)> castDistance;
  std::function<double(const Vec3& origin, const Vec3& direction, Vec3& colour)> traceColor;

  // Every call, in order, e.g. "excludesLight(obj,Key)".
  std::vector<std::string> log;
  std::vector<std::string> callsNamed(const std::string& routine) const;
  void clearLog() { log.clear(); }

  // The service tables, installed into the module's globals by the constructor.
  ItemInfoService itemInfo{};
  LightInfoService lightInfo{};
  ObjectInfoService objectInfo{};
  ImageListService imageList{};
  SurfaceFunctionsService surfaceFunctions{};
  BackdropInfoService backdropInfo{};
  void installServices();  // (again) points every module global at these tables

  // The host's global lookup, for activation tests: logs "lookup(NAME,use)" and answers with the
  // matching table above (or panelService for "LWXPanel"), null for a name in missingServices.
  static void* lookup(const char* serviceName, int use);
  std::vector<std::string> missingServices;

  // "LWXPanel": each routine logs its call; newPanel answers panelToMake. What the module handed
  // over is kept in panelSeen.
  PanelService panelService{};
  static const PanelHandle kPanel;
  PanelHandle panelToMake = kPanel;
  struct PanelSeen {
    const PanelControl* controls = nullptr;
    const PanelHint* hints = nullptr;
    const PanelDataDescription* data = nullptr;
    PanelGet get = nullptr;
    PanelSet set = nullptr;
    void* attachedInstance = nullptr;
    void* panelData = nullptr;
  } panelSeen;

  // A sample record with plain defaults (the object handle is "obj").
  ShaderAccess makeAccess();
  // A fresh instance with the module's defaults for surface "surf".
  static ShaderInstance makeInstance();

  static ItemHandle lightHandle(std::size_t index);
  static std::size_t lightIndex(ItemHandle handle);
  static const ItemHandle kObject;
  static const SurfaceHandle kSurface;
  static ImageHandle imageHandle(int index);

  std::string lightLabel(ItemHandle handle) const;  // the name used in the log
  static FakeHost* current;
};

std::string formatVec(const Vec3& v);
