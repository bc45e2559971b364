#include "module/module_descriptor.h"

#include <gtest/gtest.h>

#include "instance/options_panel.h"
#include "module/shading_server.h"

namespace {

TEST(ModuleDescriptor, HoldsTheFixedWordsAndTheModulesThreeEntries) {
  EXPECT_EQ(_mod_descrip.magic, 0x04121994u);
  EXPECT_EQ(_mod_descrip.count, 3u);
  EXPECT_EQ(_mod_descrip.version, 0x300u);
  EXPECT_EQ(_mod_descrip.startup, &moduleStartup);
  EXPECT_EQ(_mod_descrip.shutdown, &moduleShutdown);
  EXPECT_EQ(_mod_descrip.servers, moduleServers);
}

TEST(ModuleDescriptor, StartupAnswersFourEveryTimeAndShutdownDoesNothing) {
  EXPECT_EQ(moduleStartup(), 4);
  EXPECT_EQ(moduleStartup(), 4);
  moduleShutdown(nullptr);
  EXPECT_EQ(moduleStartup(), 4);
}

TEST(ServerList, NamesBothServersWithOneTextAndEndsWithAZeroEntry) {
  const ServerEntry* servers = _mod_descrip.servers;
  EXPECT_STREQ(servers[0].serverClass, "ShaderHandler");
  EXPECT_STREQ(servers[0].serverName, "QX_Kavelmor");
  EXPECT_EQ(servers[0].activate, &activateShader);
  EXPECT_EQ(servers[0].reserved, nullptr);
  EXPECT_STREQ(servers[1].serverClass, "ShaderInterface");
  EXPECT_EQ(servers[1].serverName, servers[0].serverName) << "one and the same name text";
  EXPECT_EQ(servers[1].activate, &activateInterface);
  EXPECT_EQ(servers[1].reserved, nullptr);
  EXPECT_EQ(servers[2].serverClass, nullptr);
  EXPECT_EQ(servers[2].serverName, nullptr);
  EXPECT_EQ(servers[2].activate, nullptr);
  EXPECT_EQ(servers[2].reserved, nullptr);
}

}  // namespace
