#include "instance/options_panel.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "tests/fake_host.h"

namespace {

using Log = std::vector<std::string>;

// A record whose words hold non-null values, so the test sees what activation writes.
InterfaceRecord sentinelRecord(ShaderInstance* instance) {
  return InterfaceRecord{instance, reinterpret_cast<PanelHandle>(std::uintptr_t{0x11}),
                         reinterpret_cast<void*>(std::uintptr_t{0x22}), reinterpret_cast<void*>(std::uintptr_t{0x33})};
}

bool sameBytes(const ShaderInstance& a, const ShaderInstance& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

class OptionsPanel : public ::testing::Test {
 protected:
  FakeHost host;
  ShaderInstance instance = FakeHost::makeInstance();
};

TEST_F(OptionsPanel, AVersionOtherThanFourLooksNothingUpAndLeavesTheRecord) {
  gPanelFunctions = &host.panelService;
  for (const int version : {0, 3, 5, -4}) {
    InterfaceRecord record = sentinelRecord(&instance);
    const InterfaceRecord before = record;
    EXPECT_EQ(activateInterface(version, FakeHost::lookup, &record), 1) << version;
    EXPECT_EQ(std::memcmp(&record, &before, sizeof record), 0) << version;
  }
  EXPECT_TRUE(host.log.empty());
  EXPECT_EQ(gPanelFunctions, &host.panelService);
}

TEST_F(OptionsPanel, BuildsThePanelInTheHostsOrderAndHandsItOver) {
  InterfaceRecord record = sentinelRecord(&instance);
  EXPECT_EQ(activateInterface(4, FakeHost::lookup, &record), 0);
  const Log expected = {"lookup(LWXPanel,0)",  "newPanel(1)",           "addHints(panel,0)",
                        "describeData(panel)", "attachInstance(panel)", "setPanelData(panel,0)"};
  EXPECT_EQ(host.log, expected);
  EXPECT_EQ(gPanelFunctions, &host.panelService);
  EXPECT_EQ(record.instance, &instance);
  EXPECT_EQ(record.panel, FakeHost::kPanel);
  EXPECT_EQ(record.hostRoutineA, nullptr);
  EXPECT_EQ(record.hostRoutineB, nullptr);
  EXPECT_EQ(host.panelSeen.attachedInstance, &instance);
  EXPECT_EQ(host.panelSeen.panelData, &instance);
  EXPECT_EQ(host.panelSeen.get, &panelGet);
  EXPECT_EQ(host.panelSeen.set, &panelSet);
}

TEST_F(OptionsPanel, WithoutAPanelTheRecordGetsNullsAndActivationStillSucceeds) {
  struct Case {
    const char* what;
    bool serviceMissing;
    bool hostMakesNoPanel;
    bool noInstance;
    Log expected;
  } cases[] = {
      {"no LWXPanel service", true, false, false, {"lookup(LWXPanel,0)"}},
      {"newPanel gives null", false, true, false, {"lookup(LWXPanel,0)", "newPanel(1)"}},
      {"no instance to edit", false, false, true, {"lookup(LWXPanel,0)"}},
  };
  for (const Case& c : cases) {
    host.clearLog();
    host.missingServices = c.serviceMissing ? std::vector<std::string>{"LWXPanel"} : std::vector<std::string>{};
    host.panelToMake = c.hostMakesNoPanel ? nullptr : FakeHost::kPanel;
    InterfaceRecord record = sentinelRecord(c.noInstance ? nullptr : &instance);
    EXPECT_EQ(activateInterface(4, FakeHost::lookup, &record), 0) << c.what;
    EXPECT_EQ(host.log, c.expected) << c.what;
    EXPECT_EQ(record.panel, nullptr) << c.what;
    EXPECT_EQ(record.hostRoutineA, nullptr) << c.what;
    EXPECT_EQ(record.hostRoutineB, nullptr) << c.what;
  }
}

TEST_F(OptionsPanel, ActivationWithoutARecordOrLookupDoesNotCrash) {
  EXPECT_EQ(activateInterface(4, FakeHost::lookup, nullptr), 1);
  EXPECT_TRUE(host.log.empty());

  gPanelFunctions = &host.panelService;
  InterfaceRecord record = sentinelRecord(&instance);
  EXPECT_EQ(activateInterface(4, nullptr, &record), 0);
  EXPECT_EQ(gPanelFunctions, nullptr) << "no lookup: no service";
  EXPECT_EQ(record.panel, nullptr);
}

TEST_F(OptionsPanel, AcquirePanelServiceSaysWhetherItFoundTheService) {
  EXPECT_TRUE(acquirePanelService(FakeHost::lookup));
  host.missingServices = {"LWXPanel"};
  EXPECT_FALSE(acquirePanelService(FakeHost::lookup));
  EXPECT_EQ(gPanelFunctions, nullptr);
}

TEST_F(OptionsPanel, DescribesTheFourControlsAndTheirData) {
  InterfaceRecord record = sentinelRecord(&instance);
  activateInterface(4, FakeHost::lookup, &record);

  struct Row {
    std::uint32_t id;
    const char* label;
    const char* controlType;
    const char* dataKey;
    const char* dataType;
  } rows[] = {{0x8001, "Sampling count:", "integer", "sample", "integer"},
              {0x8002, "Light size:", "float", "l_size", "float"},
              {0x8003, "Use prefix:", "iBoolean", "use_prefix", "integer"},
              {0x8004, "Light prefix:", "string", "prefix", "string"}};
  const PanelControl* controls = host.panelSeen.controls;
  const PanelDataDescription* data = host.panelSeen.data;
  ASSERT_NE(controls, nullptr);
  ASSERT_NE(data, nullptr);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(controls[i].id, rows[i].id) << i;
    EXPECT_STREQ(controls[i].label, rows[i].label) << i;
    EXPECT_STREQ(controls[i].controlType, rows[i].controlType) << i;
    EXPECT_EQ(data[i].id, rows[i].id) << i;
    EXPECT_STREQ(data[i].dataKey, rows[i].dataKey) << i;
    EXPECT_STREQ(data[i].dataType, rows[i].dataType) << i;
  }
  EXPECT_EQ(controls[4].id, 0u);
  EXPECT_EQ(controls[4].label, nullptr);
  EXPECT_EQ(controls[4].controlType, nullptr);
  EXPECT_EQ(data[4].id, 0u);
  EXPECT_EQ(data[4].dataKey, nullptr);
  EXPECT_EQ(data[4].dataType, nullptr);
}

TEST_F(OptionsPanel, HandsOverTheNineteenHintWords) {
  InterfaceRecord record = sentinelRecord(&instance);
  activateInterface(4, FakeHost::lookup, &record);
  const PanelHint* hints = host.panelSeen.hints;
  ASSERT_NE(hints, nullptr);
  const PanelHint expected[19] = {0x3D000B03, 0,      hints[2], 0, 0x3D014002, 0x8001, 1, 0x3D014002, 0x8002, 0,
                                  0x3D01F984, 0x8003, 0,        0, 0,          0x8004, 0, 0,          0};
  for (int word = 0; word < 19; ++word) EXPECT_EQ(hints[word], expected[word]) << "word " << word;
  EXPECT_STREQ(reinterpret_cast<const char*>(hints[2]), "QX's Kavelmor version 0.12b Options");
}

TEST_F(OptionsPanel, GetHandsOutTheInstancesOwnFields) {
  const struct {
    std::uint32_t id;
    void* field;
  } known[] = {{0x8001, &instance.sample},
               {0x8002, &instance.l_size},
               {0x8003, &instance.use_prefix},
               {0x8004, instance.prefix}};
  for (const auto& k : known) {
    EXPECT_EQ(panelGet(&instance, k.id), k.field) << std::hex << k.id;
    EXPECT_EQ(panelGet(&instance, k.id), k.field) << "again, " << std::hex << k.id;
  }
  for (const std::uint32_t id : {0x8000u, 0x8005u, 0u, 0x18001u}) EXPECT_EQ(panelGet(&instance, id), nullptr) << id;
  EXPECT_EQ(panelGet(nullptr, 0x8001), nullptr);
}

TEST_F(OptionsPanel, SetStoresNumbersUncheckedAndIgnoresUnknownIds) {
  const std::int32_t zero = 0, minusSeven = -7, big = 0x7FFFFFFF;
  const double minusTwoAndAHalf = -2.5;
  ASSERT_EQ(panelSet(&instance, 0x8001, &zero), 1);
  EXPECT_EQ(instance.sample, 0);
  ASSERT_EQ(panelSet(&instance, 0x8001, &minusSeven), 1);
  EXPECT_EQ(instance.sample, -7);
  ASSERT_EQ(panelSet(&instance, 0x8002, &minusTwoAndAHalf), 1);
  EXPECT_EQ(instance.l_size, -2.5);
  ASSERT_EQ(panelSet(&instance, 0x8003, &big), 1);
  EXPECT_EQ(instance.use_prefix, 0x7FFFFFFF);

  const ShaderInstance before = instance;
  const double value = 4.0;
  for (const std::uint32_t id : {0x8000u, 0x8005u, 0u}) {
    EXPECT_EQ(panelSet(&instance, id, &value), 0) << id;
    EXPECT_TRUE(sameBytes(instance, before)) << id;
  }
}

TEST_F(OptionsPanel, SetWithoutAValueOrInstanceChangesNothing) {
  const ShaderInstance before = instance;
  for (const std::uint32_t id : {0x8001u, 0x8002u, 0x8003u, 0x8004u}) {
    EXPECT_EQ(panelSet(&instance, id, nullptr), 0) << id;
    EXPECT_TRUE(sameBytes(instance, before)) << id;
  }
  const std::int32_t one = 1;
  EXPECT_EQ(panelSet(nullptr, 0x8001, &one), 0);
}

TEST_F(OptionsPanel, SetPrefixKeepsSixteenCharactersAndZerosTheRest) {
  struct Case {
    const char* text;
    const char* stored;
  } cases[] = {
      {"ABCDEFGHIJKLMNOPQRST", "ABCDEFGHIJKLMNOP"}, {"0123456789abcdef", "0123456789abcdef"}, {"Key", "Key"}, {"", ""}};
  for (const Case& c : cases) {
    std::memset(instance.prefix, 'X', sizeof instance.prefix);  // a longer text was there before
    ASSERT_EQ(panelSet(&instance, 0x8004, c.text), 1) << c.text;
    char expected[17] = {};
    std::memcpy(expected, c.stored, std::strlen(c.stored));
    EXPECT_EQ(std::memcmp(instance.prefix, expected, 17), 0) << c.text;
  }
}

TEST_F(OptionsPanel, SetPrefixReadsNoFurtherThanSixteenBytesOfTheText) {
  // Sixteen letters and no terminator, in a block of exactly that size: a reader that looked for
  // the end would run off the block (AddressSanitizer reports it).
  const std::unique_ptr<char[]> text(new char[16]);
  std::memset(text.get(), 'L', 16);
  EXPECT_EQ(panelSet(&instance, 0x8004, text.get()), 1);
  EXPECT_STREQ(instance.prefix, "LLLLLLLLLLLLLLLL");
}

}  // namespace

namespace {

TEST_F(OptionsPanel, SetPrefixFromTheFieldItselfKeepsIt) {
  ASSERT_EQ(panelSet(&instance, 0x8004, "Soft"), 1);
  void* field = panelGet(&instance, 0x8004);
  EXPECT_EQ(panelSet(&instance, 0x8004, field), 1);
  EXPECT_STREQ(instance.prefix, "Soft");
}

}  // namespace
