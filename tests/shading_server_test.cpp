#include "module/shading_server.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "instance/instance_routines.h"
#include "module/host_services.h"
#include "shading/evaluate_surface.h"
#include "tests/fake_host.h"

namespace {

using Log = std::vector<std::string>;

// The host's three tables and handler record, every word filled with a recognisable non-null value.
struct HostTables {
  InstanceRoutines instance;
  ItemRoutines item;
  RenderRoutines render;
  HandlerRecord handler;

  HostTables() {
    std::memset(static_cast<void*>(this), 0x5A, sizeof *this);
    handler.instance = &instance;
    handler.item = &item;
    handler.render = &render;
  }
};

const Log kSixLookups = {"lookup(LW Item Info 3,0)",  "lookup(LW Light Info 3,0)",     "lookup(LW Object Info 4,0)",
                         "lookup(LW Image List 3,0)", "lookup(Surface Functions 2,0)", "lookup(LW Backdrop Info 2,0)"};

class ShadingServer : public ::testing::Test {
 protected:
  ShadingServer() {
    gItemInfo = nullptr;  // as after load, until an activation looks them up
    gLightInfo = nullptr;
    gObjectInfo = nullptr;
    gImageList = nullptr;
    gSurfaceFunctions = nullptr;
    gBackdropInfo = nullptr;
  }
  FakeHost host;
  HostTables tables;
};

TEST_F(ShadingServer, AVersionOtherThanFourWritesNothingAndLooksNothingUp) {
  host.installServices();
  gRenderTime = 1.5;
  for (const int version : {3, 5, 0, -4}) {
    const HostTables before = tables;
    EXPECT_EQ(activateShader(version, FakeHost::lookup, &tables.handler), 1) << version;
    EXPECT_EQ(std::memcmp(static_cast<const void*>(&tables), &before, sizeof tables), 0) << version;
  }
  EXPECT_TRUE(host.log.empty());
  EXPECT_EQ(gItemInfo, &host.itemInfo);
  EXPECT_EQ(gBackdropInfo, &host.backdropInfo);
  EXPECT_EQ(gGlobalLookup, nullptr);
  EXPECT_EQ(gRenderTime, 1.5);
}

TEST_F(ShadingServer, InstallsTheRoutinesAndLooksUpTheSixServicesInOrder) {
  void* const hostWord = tables.instance.hostWord;
  EXPECT_EQ(activateShader(4, FakeHost::lookup, &tables.handler), 0);
  EXPECT_EQ(tables.instance.hostWord, hostWord) << "word 0 is the host's";
  EXPECT_EQ(tables.instance.create, &instanceCreate);
  EXPECT_EQ(tables.instance.destroy, &instanceDestroy);
  EXPECT_EQ(tables.instance.copy, &instanceCopy);
  EXPECT_EQ(tables.instance.load, &instanceTransfer);
  EXPECT_EQ(tables.instance.save, &instanceTransfer);
  EXPECT_EQ(tables.instance.describe, &instanceDescribe);
  EXPECT_EQ(tables.item.usedItems, &noItemsUsed);
  EXPECT_EQ(tables.item.itemIdChanged, &ignoreCall);
  EXPECT_EQ(tables.render.init, &renderInit);
  EXPECT_EQ(tables.render.cleanup, &ignoreCall);
  EXPECT_EQ(tables.render.newTime, &renderNewTime);
  EXPECT_EQ(tables.handler.evaluate, &evaluateSurface);
  EXPECT_EQ(tables.handler.flags, &shaderFlags);
  EXPECT_EQ(tables.handler.instance, &tables.instance) << "the table addresses are the host's";

  EXPECT_EQ(host.log, kSixLookups);
  EXPECT_EQ(gGlobalLookup, &FakeHost::lookup);
  EXPECT_EQ(gItemInfo, &host.itemInfo);
  EXPECT_EQ(gLightInfo, &host.lightInfo);
  EXPECT_EQ(gObjectInfo, &host.objectInfo);
  EXPECT_EQ(gImageList, &host.imageList);
  EXPECT_EQ(gSurfaceFunctions, &host.surfaceFunctions);
  EXPECT_EQ(gBackdropInfo, &host.backdropInfo);
}

TEST_F(ShadingServer, WithoutAnItemTableTheRestIsStillInstalled) {
  tables.handler.item = nullptr;
  const ItemRoutines untouched = tables.item;
  EXPECT_EQ(activateShader(4, FakeHost::lookup, &tables.handler), 0);
  EXPECT_EQ(std::memcmp(&tables.item, &untouched, sizeof untouched), 0);
  EXPECT_EQ(tables.instance.create, &instanceCreate);
  EXPECT_EQ(tables.render.newTime, &renderNewTime);
  EXPECT_EQ(tables.handler.evaluate, &evaluateSurface);
  EXPECT_EQ(tables.handler.flags, &shaderFlags);
  EXPECT_EQ(host.log, kSixLookups);
}

TEST_F(ShadingServer, TheLatestActivationsLookupsHoldMissingOnesIncluded) {
  ASSERT_EQ(activateShader(4, FakeHost::lookup, &tables.handler), 0);
  ASSERT_EQ(gBackdropInfo, &host.backdropInfo);
  host.missingServices = {"LW Backdrop Info 2", "LW Item Info 3"};
  host.clearLog();
  EXPECT_EQ(activateShader(4, FakeHost::lookup, &tables.handler), 0);
  EXPECT_EQ(host.log, kSixLookups);
  EXPECT_EQ(gBackdropInfo, nullptr);
  EXPECT_EQ(gItemInfo, nullptr);
  EXPECT_EQ(gLightInfo, &host.lightInfo);
  EXPECT_FALSE(hostServicesReady());
}

TEST_F(ShadingServer, NullRecordTablesOrLookupDoNotCrash) {
  EXPECT_EQ(activateShader(4, FakeHost::lookup, nullptr), 1) << "no record: cannot proceed";
  EXPECT_TRUE(host.log.empty());

  tables.handler.instance = nullptr;
  tables.handler.render = nullptr;
  EXPECT_EQ(activateShader(4, FakeHost::lookup, &tables.handler), 0);
  EXPECT_EQ(tables.handler.evaluate, &evaluateSurface);

  host.installServices();
  EXPECT_EQ(activateShader(4, nullptr, &tables.handler), 0) << "no lookup: a host without services";
  EXPECT_EQ(gGlobalLookup, nullptr);
  EXPECT_EQ(gItemInfo, nullptr);
  EXPECT_EQ(gLightInfo, nullptr);
  EXPECT_EQ(gObjectInfo, nullptr);
  EXPECT_EQ(gImageList, nullptr);
  EXPECT_EQ(gSurfaceFunctions, nullptr);
  EXPECT_EQ(gBackdropInfo, nullptr);
}

TEST_F(ShadingServer, TheSmallRoutinesGiveTheirFixedAnswers) {
  ShaderInstance instance = FakeHost::makeInstance();
  for (ShaderInstance* any : {&instance, static_cast<ShaderInstance*>(nullptr)}) {
    EXPECT_EQ(shaderFlags(any), 1026);
    EXPECT_EQ(noItemsUsed(any), nullptr);
    ignoreCall(any);
  }
  EXPECT_TRUE(host.log.empty());
}

TEST_F(ShadingServer, RenderNewTimeKeepsTheTimeWhateverTheFrame) {
  EXPECT_EQ(gRenderTime, 0.0);
  ShaderInstance instance = FakeHost::makeInstance();
  EXPECT_EQ(renderNewTime(&instance, 12, 0.5), 0);
  EXPECT_EQ(gRenderTime, 0.5);
  EXPECT_EQ(renderNewTime(nullptr, -3, -1.25), 0);
  EXPECT_EQ(gRenderTime, -1.25);
  EXPECT_EQ(renderNewTime(&instance, 12, 0.5), 0);
  EXPECT_EQ(gRenderTime, 0.5);
}

class EnvironmentImages : public ShadingServer {
 protected:
  EnvironmentImages() {
    host.installServices();
    host.images = {FakeImage{}, FakeImage{}};
  }
  ShaderInstance instance = FakeHost::makeInstance();
};

TEST_F(EnvironmentImages, RequestsFilteringOnlyForImagesTheOptionsSample) {
  const Log codes = {"channelInt(ReflectionOptions)", "channelInt(RefractionOptions)"};
  auto with = [&codes](Log more) {
    Log log = codes;
    log.insert(log.end(), more.begin(), more.end());
    return log;
  };
  struct Case {
    int reflection, refraction;
    int reflectionImage, refractionImage;  // index into images, -1 none
    Log expected;
  } cases[] = {
      {0, 0, 0, 1, codes},
      {1, 1, 0, 1, codes},
      {0, 1, 0, 1, codes},
      {4, -1, 0, 1, codes},
      {3, 0, -1, 1, with({"channelImage(ReflectionImage)"})},
      {2, 0, 0, 1, with({"channelImage(ReflectionImage)", "requestSpotFiltering(img0)"})},
      {1, 3, 0, 1, with({"channelImage(RefractionImage)", "requestSpotFiltering(img1)"})},
      {2, 2, 1, 1,
       with({"channelImage(ReflectionImage)", "requestSpotFiltering(img1)", "channelImage(RefractionImage)",
             "requestSpotFiltering(img1)"})},
      {3, 2, 0, -1,
       with({"channelImage(ReflectionImage)", "requestSpotFiltering(img0)", "channelImage(RefractionImage)"})},
  };
  for (const Case& c : cases) {
    const std::string label = std::to_string(c.reflection) + "/" + std::to_string(c.refraction);
    host.channelInts = {{"ReflectionOptions", c.reflection}, {"RefractionOptions", c.refraction}};
    host.channelImages.clear();
    if (c.reflectionImage >= 0) host.channelImages["ReflectionImage"] = c.reflectionImage;
    if (c.refractionImage >= 0) host.channelImages["RefractionImage"] = c.refractionImage;

    host.clearLog();
    prepareEnvironmentImages(&instance);
    EXPECT_EQ(host.log, c.expected) << label;
    host.clearLog();
    EXPECT_EQ(renderInit(&instance), 0) << label;
    EXPECT_EQ(host.log, c.expected) << "renderInit " << label;
  }
}

TEST_F(EnvironmentImages, MissingServicesOrInstanceMeanFewerOrNoRequests) {
  host.channelInts = {{"ReflectionOptions", 2}, {"RefractionOptions", 2}};
  host.channelImages = {{"ReflectionImage", 0}, {"RefractionImage", 1}};

  gImageList = nullptr;
  prepareEnvironmentImages(&instance);
  EXPECT_TRUE(host.callsNamed("requestSpotFiltering").empty());
  EXPECT_EQ(host.callsNamed("channelImage").size(), 2u);

  host.clearLog();
  gSurfaceFunctions = nullptr;
  EXPECT_EQ(renderInit(&instance), 0);
  EXPECT_TRUE(host.log.empty());

  host.installServices();
  EXPECT_EQ(renderInit(nullptr), 0);
  EXPECT_TRUE(host.log.empty());
}

}  // namespace
