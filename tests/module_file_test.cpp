// The module file as the host meets it: opened with dlopen, reached through "_mod_descrip" alone.
// Nothing of the module's code is linked into this program; the host side below is a small
// stand-in that answers the services and records what the module asked.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "module/host_interface.h"
#include "tests/transfer_stream.h"

namespace {

// ---- The host side

struct MiniHost {
  std::vector<std::string> calls;
  Vec3 ambient{0.25, 0.25, 0.25};
  Vec3 backdrop{0.5, 0.5, 0.5};
  struct {
    PanelGet get = nullptr;
    PanelSet set = nullptr;
    const PanelHint* hints = nullptr;
    void* instance = nullptr;
  } panel;
};
MiniHost host;

void note(const std::string& call) { host.calls.push_back(call); }
std::string number(double value) { return std::to_string(value); }

ItemHandle const kSun = reinterpret_cast<ItemHandle>(std::uintptr_t{0x50});
PanelHandle const kPanel = reinterpret_cast<PanelHandle>(std::uintptr_t{0x9A00});
SurfaceHandle const kSurfaceA = reinterpret_cast<SurfaceHandle>(std::uintptr_t{0xA000});
SurfaceHandle const kSurfaceB = reinterpret_cast<SurfaceHandle>(std::uintptr_t{0xB000});

std::string surfaceName(SurfaceHandle surface) { return surface == kSurfaceA ? "A" : surface == kSurfaceB ? "B" : "?"; }

// One distant light, "Sun", which the module always leaves to the host's illumination.
ItemInfoService itemInfo = [] {
  ItemInfoService table{};
  table.firstItemOfKind = [](int kind, ItemHandle) { return kind == kItemKindLight ? kSun : nullptr; };
  table.nextItemOf = [](ItemHandle) -> ItemHandle { return nullptr; };
  table.nameOfItem = [](ItemHandle) { return "Sun"; };
  table.itemVector = [](ItemHandle, int, double, Vec3* vector) { *vector = Vec3{}; };
  return table;
}();
LightInfoService lightInfo = {
    [](double time, Vec3* colour) {
      note("ambientColor(" + number(time) + ")");
      *colour = host.ambient;
    },
    [](ItemHandle) { return int{kLightDistant}; },
    [](ItemHandle, double, Vec3* colour) {
      *colour = Vec3{1, 1, 1};
    },
    [](ItemHandle) { return 0; },
    [](ItemHandle, double, double* cone, double* edge) { *cone = *edge = 0.0; },
    [](ItemHandle) { return 0u; },
    [](ItemHandle, double) { return 1.0; },
    [](ItemHandle) { return 0; },
};
ObjectInfoService objectInfo = [] {
  ObjectInfoService table{};
  table.excludesLight = [](ItemHandle, ItemHandle) { return 0; };
  return table;
}();
ImageListService imageList = [] {
  ImageListService table{};
  table.requestSpotFiltering = [](ImageHandle) { return 0; };
  table.imageDimensions = [](ImageHandle, int* width, int* height) { *width = *height = 1; };
  table.spotColor = [](ImageHandle, double, double, double, int, Vec3* colour) { *colour = Vec3{}; };
  return table;
}();
SurfaceFunctionsService surfaceFunctions = [] {
  SurfaceFunctionsService table{};
  table.channelInt = [](SurfaceHandle surface, const char* channel) {
    note("channelInt(" + surfaceName(surface) + "," + channel + ")");
    return 0;  // the backdrop, for reflection and refraction alike
  };
  table.channelFloat = [](SurfaceHandle, const char*) -> const double* { return nullptr; };
  table.channelImage = [](SurfaceHandle, const char*) -> ImageHandle { return nullptr; };
  return table;
}();
BackdropInfoService backdropInfo = {[](double time, const Vec3*, Vec3* colour) {
  note("backdropColor(" + number(time) + ")");
  *colour = host.backdrop;
}};
PanelService panelService = [] {
  PanelService table{};
  table.newPanel = [](int kind, const PanelControl*) {
    note("newPanel(" + std::to_string(kind) + ")");
    return kPanel;
  };
  table.addHints = [](PanelHandle, std::uint32_t, const PanelHint* hints) {
    note("addHints");
    host.panel.hints = hints;
  };
  table.describeData = [](PanelHandle, const PanelDataDescription*, PanelGet get, PanelSet set) {
    note("describeData");
    host.panel.get = get;
    host.panel.set = set;
  };
  table.attachInstance = [](PanelHandle, void*) { note("attachInstance"); };
  table.setPanelData = [](PanelHandle, std::uint32_t, void* instance) {
    note("setPanelData");
    host.panel.instance = instance;
  };
  return table;
}();

void* lookup(const char* name, int use) {
  note(std::string("lookup(") + name + "," + std::to_string(use) + ")");
  const std::string service = name;
  if (service == "LW Item Info 3") return &itemInfo;
  if (service == "LW Light Info 3") return &lightInfo;
  if (service == "LW Object Info 4") return &objectInfo;
  if (service == "LW Image List 3") return &imageList;
  if (service == "Surface Functions 2") return &surfaceFunctions;
  if (service == "LW Backdrop Info 2") return &backdropInfo;
  if (service == "LWXPanel") return &panelService;
  return nullptr;
}

int lightAtPoint(ItemHandle light, const Vec3*, Vec3* direction, Vec3* colour) {
  if (light != kSun) return 0;  // neither indirect light nor caustics
  *direction = Vec3{0, -1, 0};
  *colour = Vec3{1, 1, 1};
  return 1;
}

// ---- The module, loaded once for all tests as the host loads it

class ModuleFile : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    library = dlopen(KAVELMOR_MODULE_FILE, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    descriptor = static_cast<ModuleDescriptor*>(dlsym(library, "_mod_descrip"));
  }
  static void TearDownTestSuite() {
    if (library != nullptr) dlclose(library);
  }
  void SetUp() override {
    ASSERT_NE(descriptor, nullptr);
    host.calls.clear();
  }

  static ServerActivate server(const char* serverClass) {
    for (const ServerEntry* entry = descriptor->servers; entry->serverClass != nullptr; ++entry) {
      if (std::strcmp(entry->serverClass, serverClass) == 0) return entry->activate;
    }
    return nullptr;
  }

  // Activates the shading server into fresh tables, as the host does before any instance exists.
  void activateShading() {
    handler = HandlerRecord{&instanceTable, &itemTable, &renderTable, nullptr, nullptr};
    ASSERT_EQ(server("ShaderHandler")(4, lookup, &handler), 0);
    host.calls.clear();
  }

  static void* library;
  static ModuleDescriptor* descriptor;
  InstanceRoutines instanceTable{};
  ItemRoutines itemTable{};
  RenderRoutines renderTable{};
  HandlerRecord handler{};
};
void* ModuleFile::library = nullptr;
ModuleDescriptor* ModuleFile::descriptor = nullptr;

TEST_F(ModuleFile, TheDescriptorCarriesTheFixedWordsAndStartsUp) {
  EXPECT_EQ(descriptor->magic, 0x04121994u);
  EXPECT_EQ(descriptor->count, 3u);
  EXPECT_EQ(descriptor->version, 0x300u);
  EXPECT_EQ(descriptor->startup(), 4);
  descriptor->shutdown(nullptr);
}

TEST_F(ModuleFile, ListsTheTwoServersUnderOneName) {
  const ServerEntry* servers = descriptor->servers;
  EXPECT_STREQ(servers[0].serverClass, "ShaderHandler");
  EXPECT_STREQ(servers[0].serverName, "QX_Kavelmor");
  EXPECT_STREQ(servers[1].serverClass, "ShaderInterface");
  EXPECT_EQ(servers[1].serverName, servers[0].serverName);
  EXPECT_NE(servers[0].activate, nullptr);
  EXPECT_NE(servers[1].activate, nullptr);
  EXPECT_EQ(servers[2].serverClass, nullptr);
  EXPECT_EQ(servers[2].serverName, nullptr);
  EXPECT_EQ(servers[2].activate, nullptr);
}

TEST_F(ModuleFile, ShadingActivationFillsTheTablesAndLooksUpTheServices) {
  HandlerRecord untouched{&instanceTable, &itemTable, &renderTable, nullptr, nullptr};
  EXPECT_EQ(server("ShaderHandler")(3, lookup, &untouched), 1);
  EXPECT_EQ(untouched.evaluate, nullptr);
  EXPECT_TRUE(host.calls.empty());

  handler = HandlerRecord{&instanceTable, &itemTable, &renderTable, nullptr, nullptr};
  EXPECT_EQ(server("ShaderHandler")(4, lookup, &handler), 0);
  const std::vector<std::string> lookups = {"lookup(LW Item Info 3,0)",      "lookup(LW Light Info 3,0)",
                                            "lookup(LW Object Info 4,0)",    "lookup(LW Image List 3,0)",
                                            "lookup(Surface Functions 2,0)", "lookup(LW Backdrop Info 2,0)"};
  EXPECT_EQ(host.calls, lookups);
  EXPECT_EQ(instanceTable.load, instanceTable.save);
  for (const void* routine :
       {reinterpret_cast<const void*>(instanceTable.create), reinterpret_cast<const void*>(instanceTable.destroy),
        reinterpret_cast<const void*>(instanceTable.copy), reinterpret_cast<const void*>(instanceTable.load),
        reinterpret_cast<const void*>(instanceTable.describe), reinterpret_cast<const void*>(itemTable.usedItems),
        reinterpret_cast<const void*>(itemTable.itemIdChanged), reinterpret_cast<const void*>(renderTable.init),
        reinterpret_cast<const void*>(renderTable.cleanup), reinterpret_cast<const void*>(renderTable.newTime),
        reinterpret_cast<const void*>(handler.evaluate), reinterpret_cast<const void*>(handler.flags)}) {
    EXPECT_NE(routine, nullptr);
  }
  EXPECT_EQ(handler.flags(nullptr), 1026);
  EXPECT_EQ(itemTable.usedItems(nullptr), nullptr);
}

TEST_F(ModuleFile, InstancesLiveSaveLoadAndCopyThroughTheTables) {
  activateShading();
  ShaderInstance* a = instanceTable.create(nullptr, kSurfaceA);
  ASSERT_NE(a, nullptr);
  EXPECT_STREQ(instanceTable.describe(a), "QX's Kavelmor version 0.12b");

  // Edit through the panel the way a user would, then save.
  InterfaceRecord record{a, nullptr, nullptr, nullptr};
  ASSERT_EQ(server("ShaderInterface")(4, lookup, &record), 0);
  ASSERT_NE(host.panel.set, nullptr);
  const std::int32_t on = 1;
  EXPECT_EQ(host.panel.set(a, 0x8003, &on), 1);
  EXPECT_EQ(host.panel.set(a, 0x8004, "Rim"), 1);
  TransferStream saved;
  const TransferState saving = saved.state(TransferStream::save);
  EXPECT_EQ(instanceTable.save(a, &saving), 0);
  std::vector<unsigned char> rim = {6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F, 1, 0, 0, 0, 'R', 'i', 'm', 0};
  rim.resize(33, 0);
  EXPECT_EQ(saved.bytes, rim);

  // Load it into an instance of another surface; then copy the first onto a third.
  ShaderInstance* b = instanceTable.create(nullptr, kSurfaceB);
  TransferStream stored;
  stored.bytes = rim;
  const TransferState loading = stored.state(TransferStream::load);
  EXPECT_EQ(instanceTable.load(b, &loading), 0);
  EXPECT_STREQ(static_cast<const char*>(host.panel.get(b, 0x8004)), "Rim");
  EXPECT_EQ(*static_cast<const std::int32_t*>(host.panel.get(b, 0x8003)), 1);
  EXPECT_EQ(*static_cast<const double*>(host.panel.get(b, 0x8002)), 1.0);

  ShaderInstance* c = instanceTable.create(nullptr, kSurfaceB);
  EXPECT_EQ(instanceTable.copy(c, a), 0);
  EXPECT_STREQ(static_cast<const char*>(host.panel.get(c, 0x8004)), "Rim");
  host.calls.clear();
  EXPECT_EQ(renderTable.init(c), 0);
  const std::vector<std::string> ownSurface = {"channelInt(B,ReflectionOptions)", "channelInt(B,RefractionOptions)"};
  EXPECT_EQ(host.calls, ownSurface) << "the copy reads its own surface";

  for (ShaderInstance* instance : {a, b, c}) instanceTable.destroy(instance);
}

TEST_F(ModuleFile, ThePanelIsDescribedToLWXPanel) {
  activateShading();
  ShaderInstance* instance = instanceTable.create(nullptr, kSurfaceA);
  InterfaceRecord record{instance, nullptr, reinterpret_cast<void*>(1), reinterpret_cast<void*>(1)};
  EXPECT_EQ(server("ShaderInterface")(4, lookup, &record), 0);
  const std::vector<std::string> calls = {"lookup(LWXPanel,0)", "newPanel(1)",    "addHints",
                                          "describeData",       "attachInstance", "setPanelData"};
  EXPECT_EQ(host.calls, calls);
  EXPECT_EQ(record.panel, kPanel);
  EXPECT_EQ(record.hostRoutineA, nullptr);
  EXPECT_EQ(record.hostRoutineB, nullptr);
  EXPECT_EQ(host.panel.instance, instance);
  EXPECT_STREQ(reinterpret_cast<const char*>(host.panel.hints[2]), "QX's Kavelmor version 0.12b Options");
  EXPECT_EQ(*static_cast<const std::int32_t*>(host.panel.get(instance, 0x8001)), 6);
  instanceTable.destroy(instance);
}

TEST_F(ModuleFile, ShadesASampleAtTheRenderTime) {
  activateShading();
  ShaderInstance* instance = instanceTable.create(nullptr, kSurfaceA);
  EXPECT_EQ(renderTable.init(instance), 0);
  EXPECT_EQ(renderTable.newTime(instance, 48, 2.0), 0);

  ShaderAccess access{};
  access.position = Vec3{0, 0, 0};
  access.rayOrigin = Vec3{0, 1, 1};
  access.normal = Vec3{0, 1, 0};
  access.baseColor = Vec3{0.5, 0.25, 1};
  access.diffuse = 1;
  access.mirror = 0.5;
  access.highlightRoughness = 0.5;
  access.refractiveIndex = 1;
  access.lightAtPoint = lightAtPoint;
  host.calls.clear();
  handler.evaluate(instance, &access);
  renderTable.cleanup(instance);

  // Sun: base × 1; ambient: base × 0.25; mirror: 0.5 × the backdrop 0.5, untinted.
  EXPECT_EQ(access.replaceFraction, 1.0);
  EXPECT_EQ(access.replaceColor.x, 0.875);
  EXPECT_EQ(access.replaceColor.y, 0.5625);
  EXPECT_EQ(access.replaceColor.z, 1.5);
  const std::vector<std::string> timed = {"ambientColor(2.000000)", "channelInt(A,ReflectionOptions)",
                                          "backdropColor(2.000000)"};
  EXPECT_EQ(host.calls, timed);
  instanceTable.destroy(instance);
}

}  // namespace
