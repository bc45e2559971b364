// The kavelmor-host program as a user meets it: bad input ends in a message and a non-zero exit,
// good input in a picture; settings survive the module's save and load routines.
#include <gtest/gtest.h>
#include <stb/stb_image.h>

#include <string>

#include "reference_host/tests/host_test_support.h"

namespace {

const std::string kTiny = " --width 16 --height 12 --no-progress";

TEST(CommandLine, BadInputGivesAMessageAndANonZeroExit) {
  const TemporaryDirectory directory;
  const std::string syntaxError =
      directory.write("syntax.json", "{\n  \"objects\": [\n    {\"shape\": \"sphere\",}\n  ]\n}\n");
  const std::string badKind =
      directory.write("kind.json", R"({"lights": [{"name": "L", "kind": "torch"}], "objects": []})");
  const std::string unknownSurface =
      directory.write("surface.json", R"({"objects": [{"shape": "sphere", "surface": "Nowhere"}]})");
  const std::string missingImage =
      directory.write("image.json", R"({"images": {"sky": {"file": "no-such.hdr"}}, "objects": []})");
  const std::string missingMesh = directory.write(
      "mesh.json", R"({"surfaces": {"S": {}}, "objects": [{"shape": "mesh", "file": "gone.obj", "surface": "S"}]})");
  const std::string notAModule = directory.write("text.p", "this is not a module file\n");
  const std::string output = " -o " + directory.path() + "/out.png";

  struct Case {
    std::string arguments;
    std::string message;  // a part of what the program must say
  };
  const Case cases[] = {
      {"--frobnicate", "frobnicate"},
      {"--threads 0", "threads"},
      {"--width -3", "width"},
      {directory.path() + "/no-such-scene.json", "no-such-scene.json"},
      {syntaxError + output, "line 3, column"},
      {badKind + output, "/lights/0/kind: unknown value \"torch\""},
      {unknownSurface + output, "/objects/0/surface: no surface named \"Nowhere\""},
      {missingImage + output, "no-such.hdr"},
      {missingMesh + output, "gone.obj"},
      {"--module " + directory.path() + "/missing.p" + output, "no such module file"},
      {"--module " + notAModule + output, "not a module file"},
      {"--module " BAD_DESCRIPTOR_MODULE_FILE + output, "bad module descriptor: word 0 is 0x12345678"},
      {"--surface Nowhere --sample 3" + output, "no surface named \"Nowhere\""},
      {"--settings-hex zz" + output, "not a hexadecimal byte"},
      {"--settings-hex 0600" + output, "33 bytes"},
      {"--prefix ABCDEFGHIJKLMNOPQ" + output, "16 characters"},
      {"--l-size nan" + output, "finite"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments);
    const ProgramResult result = runHostProgram(c.arguments + kTiny);
    EXPECT_NE(result.exitCode, 0);
    EXPECT_LT(result.exitCode, 128) << "ended by a signal";
    EXPECT_NE(result.output.find(c.message), std::string::npos) << result.output;
  }
}

TEST(CommandLine, RendersTheDefaultSceneAndSaysWhere) {
  const TemporaryDirectory directory;
  const std::string picture = directory.path() + "/default.png";
  const ProgramResult result = runHostProgram("-o " + picture + kTiny + " --threads 2");
  ASSERT_EQ(result.exitCode, 0) << result.output;
  EXPECT_NE(result.output.find(picture), std::string::npos) << result.output;
  int width = 0, height = 0, channels = 0;
  ASSERT_EQ(stbi_info(picture.c_str(), &width, &height, &channels), 1);
  EXPECT_EQ(width, 16);
  EXPECT_EQ(height, 12);

  const ProgramResult compared = runHostProgram("--compare -o " + picture + kTiny);
  ASSERT_EQ(compared.exitCode, 0) << compared.output;
  ASSERT_EQ(stbi_info(picture.c_str(), &width, &height, &channels), 1);
  EXPECT_GT(width, 32);  // both pictures side by side
}

// The block of sample 6, l_size 1.0, use_prefix 1 and prefix "Rim": loaded through the module's
// load routine, written back unchanged by its save routine, for every surface of the scene.
TEST(CommandLine, SavedSettingsBlockRoundTripsThroughTheModule) {
  const std::string rim =
      "06000000"
      "000000000000f03f"
      "01000000"
      "52696d00"
      "00000000000000000000000000";
  const TemporaryDirectory directory;
  const ProgramResult result =
      runHostProgram("--settings-hex " + rim + " --print-settings -o " + directory.path() + "/x.png" + kTiny);
  ASSERT_EQ(result.exitCode, 0) << result.output;
  for (const char* surface : {"Floor", "Crate", "Chrome", "Glass"}) {
    EXPECT_NE(result.output.find(std::string(surface) + ": " + rim), std::string::npos) << result.output;
  }
  EXPECT_NE(result.output.find("QX's Kavelmor version 0.12b"), std::string::npos);
}

// Settings edited through the panel, as a user would, come out of the save routine as their block.
TEST(CommandLine, PanelEditsShowInTheSavedBlock) {
  const TemporaryDirectory directory;
  const ProgramResult result = runHostProgram(
      "--surface Crate --sample 3 --l-size 2.5 --use-prefix 0 --prefix Key "
      "--print-settings -o " +
      directory.path() + "/x.png" + kTiny);
  ASSERT_EQ(result.exitCode, 0) << result.output;
  // 3; 2.5 = 0x4004000000000000; 0; "Key" and zeros.
  EXPECT_NE(result.output.find("Crate: 03000000"
                               "0000000000000440"
                               "00000000"
                               "4b657900"
                               "00000000000000000000000000"),
            std::string::npos)
      << result.output;
}

}  // namespace
