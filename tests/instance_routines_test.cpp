#include "instance/instance_routines.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "instance/options_panel.h"
#include "tests/fake_host.h"
#include "tests/transfer_stream.h"

namespace {

using Bytes = std::vector<unsigned char>;

struct InstanceDeleter {
  void operator()(ShaderInstance* instance) const { instanceDestroy(instance); }
};
using InstancePtr = std::unique_ptr<ShaderInstance, InstanceDeleter>;

InstancePtr created(SurfaceHandle surface = FakeHost::kSurface) {
  InstancePtr instance(instanceCreate(nullptr, surface));
  EXPECT_NE(instance, nullptr);
  return instance;
}

void setPrefix(ShaderInstance& instance, const char* text) { ASSERT_EQ(panelSet(&instance, kControlPrefix, text), 1); }

Bytes saved(ShaderInstance& instance) {
  TransferStream stream;
  const TransferState state = stream.state(TransferStream::save);
  EXPECT_EQ(instanceTransfer(&instance, &state), 0);
  return stream.bytes;
}

void load(ShaderInstance& instance, const Bytes& block) {
  TransferStream stream;
  stream.bytes = block;
  const TransferState state = stream.state(TransferStream::load);
  EXPECT_EQ(instanceTransfer(&instance, &state), 0);
}

Bytes bytesOf(const ShaderInstance& instance) {
  const auto* first = reinterpret_cast<const unsigned char*>(&instance);
  return Bytes(first, first + sizeof instance);
}

TEST(InstanceCreate, HoldsTheDefaultsAndTheSurfaceItWasMadeFor) {
  const SurfaceHandle surface = reinterpret_cast<SurfaceHandle>(std::uintptr_t{0x1234});
  const InstancePtr instance = created(surface);
  EXPECT_EQ(instance->sample, 6);
  const unsigned char oneExactly[8] = {0, 0, 0, 0, 0, 0, 0xF0, 0x3F};  // low word 0, high word 0x3FF00000
  EXPECT_EQ(std::memcmp(&instance->l_size, oneExactly, 8), 0);
  EXPECT_EQ(instance->use_prefix, 0);
  EXPECT_EQ(instance->surface, surface);
  // The whole prefix and description are cleared, so a save never writes stale memory.
  EXPECT_EQ(Bytes(instance->prefix, instance->prefix + 17), Bytes(17, 0));
  EXPECT_EQ(std::string(instance->description, kDescriptionCapacity), std::string(kDescriptionCapacity, '\0'));
}

TEST(InstanceCreate, EachCallMakesItsOwnRecordThatDestroyReleases) {
  const InstancePtr first = created();
  const InstancePtr second = created();
  EXPECT_NE(first.get(), second.get());
  instanceDestroy(nullptr);  // nothing to release
}

TEST(InstanceTransfer, AnyModeButZeroTransfersNothing) {
  const InstancePtr instance = created();
  const Bytes before = bytesOf(*instance);
  for (const std::int32_t mode : {1, 2, -1, 0x7FFFFFFF}) {
    TransferStream stream;
    const TransferState state = stream.state(TransferStream::save, mode);
    EXPECT_EQ(instanceTransfer(instance.get(), &state), 0) << mode;
    EXPECT_TRUE(stream.requests.empty()) << mode;
  }
  EXPECT_EQ(bytesOf(*instance), before);
}

TEST(InstanceTransfer, AsksForTheFourFieldsInOrderWithTheHostsOwnData) {
  const InstancePtr instance = created();
  TransferStream stream;
  const TransferState state = stream.state(TransferStream::save);
  instanceTransfer(instance.get(), &state);
  ASSERT_EQ(stream.requests.size(), 4u);
  const void* fields[] = {&instance->sample, &instance->l_size, &instance->use_prefix, instance->prefix};
  const std::int32_t counts[] = {4, 8, 4, 17};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(stream.requests[i].buffer, fields[i]) << i;
    EXPECT_EQ(stream.requests[i].byteCount, counts[i]) << i;
  }
}

TEST(InstanceTransfer, SavesTheRimSettingsAsTheirThirtyThreeBytes) {
  const InstancePtr instance = created();
  instance->use_prefix = 1;
  setPrefix(*instance, "Rim");
  Bytes expected = {0x06, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                    0xF0, 0x3F, 0x01, 0x00, 0x00, 0x00, 0x52, 0x69, 0x6D, 0x00};
  expected.resize(33, 0x00);
  EXPECT_EQ(saved(*instance), expected);
}

TEST(InstanceTransfer, LoadingRestoresTheSettingsAndLeavesDescriptionAndSurface) {
  const InstancePtr source = created();
  source->use_prefix = 1;
  setPrefix(*source, "Rim");
  const Bytes block = saved(*source);

  const SurfaceHandle otherSurface = reinterpret_cast<SurfaceHandle>(std::uintptr_t{0x7777});
  const InstancePtr target = created(otherSurface);
  target->sample = 1;
  target->l_size = 9.0;
  const char* description = instanceDescribe(target.get());
  load(*target, block);
  EXPECT_EQ(target->sample, 6);
  EXPECT_EQ(target->l_size, 1.0);
  EXPECT_EQ(target->use_prefix, 1);
  EXPECT_STREQ(target->prefix, "Rim");
  EXPECT_STREQ(description, kInstanceDescription);
  EXPECT_EQ(target->surface, otherSurface);
}

TEST(InstanceTransfer, SettingsOutsideTheUsualRangesSurviveASaveAndLoadUnchanged) {
  struct Case {
    std::int32_t sample;
    double size;
    std::int32_t usePrefix;
    const char* prefix;
  } cases[] = {{-3, 0.0, 7, "Key"},
               {0, -2.5, -1, "0123456789abcdef"},
               {0x7FFFFFFF, 1e300, 0, ""},
               {-0x7FFFFFFF - 1, -0.0, 1, " spaced"}};
  for (const Case& c : cases) {
    const InstancePtr source = created();
    source->sample = c.sample;
    source->l_size = c.size;
    source->use_prefix = c.usePrefix;
    setPrefix(*source, c.prefix);
    const Bytes block = saved(*source);
    ASSERT_EQ(block.size(), 33u);

    const InstancePtr target = created();
    load(*target, block);
    EXPECT_EQ(target->sample, c.sample) << c.prefix;
    EXPECT_EQ(std::memcmp(&target->l_size, &c.size, 8), 0) << c.prefix;
    EXPECT_EQ(target->use_prefix, c.usePrefix) << c.prefix;
    EXPECT_EQ(Bytes(target->prefix, target->prefix + 17), Bytes(source->prefix, source->prefix + 17)) << c.prefix;
  }
}

// An instance with guard bytes on both sides, to see that a load writes nowhere else.
struct GuardedInstance {
  unsigned char before[32];
  ShaderInstance instance;
  unsigned char after[32];
};

TEST(InstanceTransfer, ABadBlockLeavesATerminatedPrefixAndTouchesNothingElse) {
  const Bytes settings = {0x02, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x40, 0x01, 0, 0, 0};  // 2, 2.0, 1
  auto withPrefixBytes = [&settings](std::size_t count, unsigned char byte) {
    Bytes block = settings;
    block.insert(block.end(), count, byte);
    return block;
  };
  struct Case {
    const char* what;
    Bytes block;
    const char* expectedPrefix;
  } cases[] = {
      {"17 letters, no terminator", withPrefixBytes(17, 'Z'), "ZZZZZZZZZZZZZZZZ"},
      {"17 bytes of 0xFF", withPrefixBytes(17, 0xFF),
       "\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF"},
      {"block ends inside the prefix", withPrefixBytes(5, 'x'), "xxxxxFGHIJKLMNOP"},
      {"block ends before the prefix", Bytes(settings.begin(), settings.begin() + 10), "ABCDEFGHIJKLMNOP"},
      {"nothing to read", Bytes{}, "ABCDEFGHIJKLMNOP"},
  };
  for (const Case& c : cases) {
    GuardedInstance guarded;
    std::memset(&guarded, 0xA5, sizeof guarded);
    ShaderInstance& instance = guarded.instance;
    instance.surface = FakeHost::kSurface;
    std::memcpy(instance.prefix, "ABCDEFGHIJKLMNOPQ", 17);  // worst case: no terminator before the load
    const GuardedInstance before = guarded;

    load(instance, c.block);
    EXPECT_EQ(instance.prefix[16], '\0') << c.what;
    EXPECT_STREQ(instance.prefix, c.expectedPrefix) << c.what;
    EXPECT_EQ(std::memcmp(guarded.before, before.before, sizeof guarded.before), 0) << c.what;
    EXPECT_EQ(std::memcmp(guarded.after, before.after, sizeof guarded.after), 0) << c.what;
    EXPECT_EQ(std::memcmp(instance.description, before.instance.description, sizeof instance.description), 0) << c.what;
    EXPECT_EQ(instance.surface, FakeHost::kSurface) << c.what;
  }
}

TEST(InstanceTransfer, WithoutAnInstanceStateOrRoutineNothingHappens) {
  const InstancePtr instance = created();
  const Bytes before = bytesOf(*instance);
  TransferStream stream;
  const TransferState state = stream.state(TransferStream::save);
  const TransferState noRoutine = stream.state(nullptr);
  EXPECT_EQ(instanceTransfer(nullptr, &state), 0);
  EXPECT_EQ(instanceTransfer(instance.get(), nullptr), 0);
  EXPECT_EQ(instanceTransfer(instance.get(), &noRoutine), 0);
  EXPECT_TRUE(stream.requests.empty());
  EXPECT_EQ(bytesOf(*instance), before);
}

TEST(InstanceCopy, CopiesSettingsAndDescriptionButKeepsTheDestinationsSurface) {
  const SurfaceHandle surfaceA = reinterpret_cast<SurfaceHandle>(std::uintptr_t{0xA000});
  const SurfaceHandle surfaceB = reinterpret_cast<SurfaceHandle>(std::uintptr_t{0xB000});
  const InstancePtr a = created(surfaceA);
  const InstancePtr b = created(surfaceB);
  a->sample = 11;
  a->l_size = 0.375;
  a->use_prefix = 1;
  setPrefix(*a, "Spot");
  a->prefix[10] = 'q';  // bytes after the terminator travel too
  instanceDescribe(a.get());
  a->description[40] = '!';

  EXPECT_EQ(instanceCopy(b.get(), a.get()), 0);
  EXPECT_EQ(b->sample, 11);
  EXPECT_EQ(b->l_size, 0.375);
  EXPECT_EQ(b->use_prefix, 1);
  EXPECT_EQ(std::memcmp(b->prefix, a->prefix, sizeof b->prefix), 0);
  EXPECT_EQ(std::memcmp(b->description, a->description, sizeof b->description), 0);
  EXPECT_EQ(b->surface, surfaceB);
  EXPECT_EQ(a->surface, surfaceA);
}

TEST(InstanceCopy, NullOrSelfChangesNothing) {
  const InstancePtr instance = created();
  instance->sample = 3;
  const Bytes before = bytesOf(*instance);
  EXPECT_EQ(instanceCopy(instance.get(), instance.get()), 0);
  EXPECT_EQ(instanceCopy(instance.get(), nullptr), 0);
  EXPECT_EQ(instanceCopy(nullptr, instance.get()), 0);
  EXPECT_EQ(bytesOf(*instance), before);
}

TEST(InstanceDescribe, WritesTheSameTextToTheSamePlaceEveryTime) {
  const InstancePtr instance = created();
  const char* first = instanceDescribe(instance.get());
  const char* second = instanceDescribe(instance.get());
  EXPECT_EQ(first, instance->description);
  EXPECT_EQ(second, first);
  EXPECT_STREQ(first, "QX's Kavelmor version 0.12b");
  EXPECT_STREQ(instanceDescribe(nullptr), "QX's Kavelmor version 0.12b") << "no instance: the text itself";
}

}  // namespace
