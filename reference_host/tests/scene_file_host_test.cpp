// Scene files: each mistake is reported with where it is.
#include <gtest/gtest.h>

#include <string>

#include "reference_host/scene_json.h"

namespace {

TEST(SceneFile, MistakesAreReportedWithTheirPlace) {
  struct Case {
    std::string text;
    std::string message;
  };
  const Case cases[] = {
      {"{\"objects\": [}", "line 1, column 14"},
      {R"({"objects": [], "lihgts": []})", "/lihgts: unknown key"},
      {R"({"objects": {}})", "/objects: expected an array"},
      {R"({"render": {"width": 0}, "objects": []})", "/render/width: expected a whole number from 1"},
      {R"({"camera": {"position": [0, 0, 1], "look_at": [0, 0, 1]}, "objects": []})",
       "/camera: the camera looks at its own position"},
      {R"({"lights": [{"name": "L", "color": [1, 1]}], "objects": []})",
       "/lights/0/color: expected an array of three numbers"},
      {R"({"lights": [{"kind": "point"}], "objects": []})", "/lights/0: a light needs a \"name\""},
      {R"({"lights": [{"name": "L", "cone_degrees": 10, "edge_degrees": 20}], "objects": []})",
       "/lights/0: \"edge_degrees\" is wider"},
      {R"({"surfaces": {"S": {"shader": {"prefix": "seventeen chars!!"}}}, "objects": []})",
       "/surfaces/S/shader/prefix: a prefix has at most 16"},
      {R"({"surfaces": {"S": {"reflection": {"image": "none"}}}, "objects": []})",
       "/surfaces/S/reflection/image: no image named"},
      {R"({"surfaces": {"S": {}}, "objects": [{"shape": "cone", "surface": "S"}]})",
       "/objects/0/shape: unknown value \"cone\""},
      {R"({"surfaces": {"S": {}}, "objects": [{"shape": "box", "min": [1, 0, 0], "max": [0, 1, 1], "surface": "S"}]})",
       "/objects/0: \"min\" must be below"},
      {R"({"surfaces": {"S": {}}, "objects": [{"shape": "sphere", "surface": "S", "exclude": ["Nobody"]}]})",
       "/objects/0/exclude/0: no light named"},
      {R"({"surfaces": {"S": {}}, "objects": [{"shape": "sphere", "radius": -1, "surface": "S"}]})",
       "/objects/0/radius: expected a number from"},
      // A number the parser cannot hold is placed like a syntax error, not reported bare.
      {R"({"objects": [], "ambient": [1e400, 0, 0]})", "line 1, column 29: number overflow parsing '1e400'"},
      // The largest unsigned word must not wrap round to −1, inside the range.
      {R"({"surfaces": {"S": {"shader": {"sample": 18446744073709551615}}}, "objects": []})",
       "/surfaces/S/shader/sample: expected a whole number from"},
      // A repeated key would silently replace the first entry.
      {R"({"surfaces": {"S": {}, "S": {"shader": {}}}, "objects": []})", "/surfaces: the key \"S\" appears twice"},
      {R"({"surfaces": {"S": {}}, "objects": [{"shape": "sphere", "radius": 1, "radius": 2, "surface": "S"}]})",
       "/objects/0: the key \"radius\" appears twice"},
      // Numbers beyond what single-precision geometry holds, which turned shapes into nothing.
      {R"({"surfaces": {"S": {}}, "objects": [{"shape": "plane", "normal": [1e300, 1e300, 0], "surface": "S"}]})",
       "/objects/0/normal/0: expected a number from -1e+12 to 1e+12"},
      {R"({"surfaces": {"S": {}}, "objects": [{"shape": "sphere", "center": [0, 0, -1e13], "surface": "S"}]})",
       "/objects/0/center/2: expected a number from"},
      {R"({"lights": [{"name": "L", "intensity": 1e300}], "objects": []})", "/lights/0/intensity: expected a number"},
      {R"({"objects": [], "camera": {"position": [)" + std::string(200, '[') + std::string(200, ']') + "]}}",
       "objects and arrays nested more than 100 deep"},
  };
  for (const Case& c : cases) {
    try {
      parseScene(c.text, "scene.json", ".");
      ADD_FAILURE() << "accepted: " << c.text;
    } catch (const SceneError& error) {
      const std::string message = error.what();
      EXPECT_EQ(message.rfind("scene.json: ", 0), 0u) << message;
      EXPECT_NE(message.find(c.message), std::string::npos) << message;
    }
  }
}

TEST(SceneFile, NamesResolveToTheirEntries) {
  const Scene scene = parseScene(R"({
      "images": {"a": {"builtin": "sky"}, "b": {"file": "b.png"}},
      "lights": [{"name": "One"}, {"name": "Two", "kind": "spot", "intensity": 2, "color": [0.5, 0.25, 1]}],
      "surfaces": {"Dull": {}, "Shiny": {"reflection": {"source": "image", "image": "b", "seam_degrees": 90}, "shader": {}}},
      "objects": [{"shape": "sphere", "surface": "Shiny", "exclude": ["Two", "indirect"]}]})",
                                 "scene.json", "/somewhere");
  ASSERT_EQ(scene.objects.size(), 1u);
  const SceneSurface& shiny = scene.surfaces[scene.objects[0].surface];
  EXPECT_EQ(shiny.name, "Shiny");
  EXPECT_TRUE(shiny.carriesShader);
  EXPECT_EQ(scene.images[shiny.reflection.image].file, "b.png");
  EXPECT_EQ(shiny.reflection.options, 2);
  EXPECT_NEAR(*shiny.reflection.seamRadians, 1.5707963267948966, 1e-15);
  EXPECT_EQ(scene.objects[0].excludedLights, std::vector<int>{1});
  EXPECT_TRUE(scene.objects[0].excludesIndirect);
  EXPECT_FALSE(scene.objects[0].excludesCaustics);
  EXPECT_EQ(scene.lights[1].kind, 2);
  EXPECT_EQ(scene.lights[1].colour.x, 1.0);  // colour × intensity
  EXPECT_EQ(scene.lights[1].colour.z, 2.0);
}

}  // namespace
