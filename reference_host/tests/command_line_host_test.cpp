// The kavelmor-host program as a user meets it: bad input ends in a message and a non-zero exit,
// good input in a picture; settings survive the module's save and load routines.
#include <gtest/gtest.h>
#include <stb/stb_image.h>

#include <filesystem>
#include <fstream>
#include <iterator>
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

  // Meshes that name what they do not have, or that cannot be held.
  auto meshScene = [&](const std::string& name, const std::string& obj) {
    directory.write(name + ".obj", obj);
    return directory.write(name + ".json", R"({"surfaces": {"S": {}}, "objects": [{"shape": "mesh", "file": ")" + name +
                                               R"(.obj", "surface": "S"}]})");
  };
  const std::string vertexBeyond = meshScene("vertex-beyond", "v 0 0 0\nv 1 0 0\nf 1 2 7\n");
  const std::string vertexBefore = meshScene("vertex-before", "v 0 0 0\nv 1 0 0\nf -1 -2 -9\n");
  const std::string normalBeyond =
      meshScene("normal-beyond", "v 0 0 0\nv 1 0 0\nv 0 1 0\nvn 0 0 1\nf 1//1 2//5 3//1\n");
  const std::string vertexTooFar = meshScene("too-far", "v 1e20 0 0\nv 0 1 0\nv 0 0 1\nf 1 2 3\n");
  const std::string noFaces = meshScene("no-faces", "v 0 0 0\nv 1 0 0\nl 1 2\n");
  std::filesystem::create_directory(directory.path() + "/folder.obj");
  const std::string meshFolder = directory.write(
      "folder.json",
      R"({"surfaces": {"S": {}}, "objects": [{"shape": "mesh", "file": "folder.obj", "surface": "S"}]})");

  // Images that are empty, not images, folders, or whose header claims a picture too large to hold.
  auto imageScene = [&](const std::string& name) {
    return directory.write(
        name + ".json", R"({"images": {"i": {"file": ")" + name + R"("}}, "backdrop": {"image": "i"}, "objects": []})");
  };
  directory.write("empty.png", "");
  directory.write("words.png", "this is not a picture");
  std::filesystem::create_directory(directory.path() + "/folder.hdr");
  const std::string giantHeader("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\x40\0\0\0\x40\0\x08\x02\0\0\0\0\0\0\0", 33);
  directory.write("giant.png", giantHeader);

  // Module files: cut in half, empty, a folder, a shared object without the symbol.
  std::string moduleBytes;
  {
    std::ifstream module(moduleFile(), std::ios::binary);
    moduleBytes.assign(std::istreambuf_iterator<char>(module), std::istreambuf_iterator<char>());
  }
  const std::string halfModule = directory.write("half.p", moduleBytes.substr(0, moduleBytes.size() / 2));
  const std::string emptyModule = directory.write("empty.p", "");
  std::filesystem::create_directory(directory.path() + "/folder.p");

  const std::string huge = directory.write(
      "huge.json", R"({"render": {"width": 16384, "height": 16384}, "surfaces": {"S": {}}, "objects": []})");
  std::string elevenLights = R"({"surfaces": {"S": {"shader": {"sample": 100}}}, "objects": [], "lights": [)";
  for (int i = 0; i < 11; ++i) elevenLights += std::string(i == 0 ? "" : ", ") + R"({"name": "L", "kind": "spot"})";
  const std::string manyLights = directory.write("many-lights.json", elevenLights + "]}");
  const std::string largestSample =
      "ffffff7f"
      "000000000000f03f"
      "00000000"
      "00000000000000000000000000000000"
      "00";

  struct Case {
    std::string arguments;
    std::string message;  // a part of what the program must say
    bool tiny = true;     // rendered at 16 × 12, or at the scene's own size
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
      {"--l-size 1e300" + output, "from -1e12 to 1e12"},
      {vertexBeyond + output, "a face names vertex 7, the file has 2"},
      {vertexBefore + output, "a face names a vertex before the first, the file has 2"},
      {normalBeyond + output, "a face names normal 5, the file has 1"},
      {vertexTooFar + output, "lies beyond ±1e12"},
      {noFaces + output, "the OBJ file holds no faces"},
      {meshFolder + output, "folder.obj: not an OBJ file (not a regular file)"},
      {imageScene("empty.png") + output, "empty.png: cannot read the image"},
      {imageScene("words.png") + output, "words.png: cannot read the image"},
      {imageScene("folder.hdr") + output, "folder.hdr: cannot read the image (not a regular file)"},
      {imageScene("giant.png") + output, "the image has 16384 × 16384 texels; the host reads at most 67108864"},
      {"--module " + halfModule + output, "not a module file (truncated"},
      {"--module " + emptyModule + output, "not a module file (not an ELF file)"},
      {"--module " + directory.path() + "/folder.p" + output, "not a module file (not a regular file)"},
      {"--module " NO_DESCRIPTOR_MODULE_FILE + output, "it exports no _mod_descrip"},
      {"--sample 101" + output, "sample 101 asks for 10201 shadow rays per light"},
      {"--sample 1000000" + output, "the host allows at most 10000"},
      {"--settings-hex " + largestSample + output, "sample 2147483647 asks for"},
      {manyLights + output, "sample 100 with 11 point and spot lights asks for 110000 shadow rays"},
      {huge + output, "has 268435456 pixels; the host renders at most 67108864", false},
      {"/dev/zero" + output, "/dev/zero: not a scene file (not a regular file)"},
      {"-o " + directory.path(), "cannot write the picture: it is a directory"},
      {"-o " + directory.path() + "/no-such-folder/out.png", "cannot write the picture: no directory"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments);
    const ProgramResult result = runHostProgram(c.arguments + (c.tiny ? kTiny : " --no-progress"));
    EXPECT_NE(result.exitCode, 0);
    EXPECT_LT(result.exitCode, 128) << "ended by a signal";
    EXPECT_NE(result.output.find(c.message), std::string::npos) << result.output;
    EXPECT_EQ(result.output.find("Sanitizer"), std::string::npos) << result.output;
  }
}

// Rays that double at every level of a deep limit end, once a camera ray has led to its share of
// nested rays, with a warning that says so, instead of running for ever.
TEST(CommandLine, BranchingRaysEndWithAWarning) {
  const TemporaryDirectory directory;
  const std::string scene = directory.write("branching.json", R"({
      "render": {"max_depth": 64}, "camera": {"position": [0, 0, 0], "look_at": [0, 0, -1]},
      "surfaces": {"G": {"mirror": 0.5, "transparency": 0.5, "refractive_index": 1.5,
                         "reflection": {"source": "ray_trace"}, "refraction": {"source": "ray_trace"},
                         "shader": {"sample": 1}}},
      "objects": [{"shape": "sphere", "radius": 2, "surface": "G"}, {"shape": "sphere", "radius": 4, "surface": "G"},
                  {"shape": "sphere", "radius": 8, "surface": "G"}]})");
  const ProgramResult result =
      runHostProgram(scene + " -o " + directory.path() + "/out.png --width 4 --height 3 --threads 1 --no-progress");
  ASSERT_EQ(result.exitCode, 0) << result.output;
  EXPECT_NE(result.output.find("warning: 12 camera rays led to more than 1000 nested rays"), std::string::npos)
      << result.output;
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
