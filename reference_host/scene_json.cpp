#include "reference_host/scene_json.h"

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <initializer_list>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>

#include "reference_host/host_vec.h"

using nlohmann::json;

namespace {

constexpr double kDegrees = 3.141592653589793 / 180.0;

// A value in the document together with its JSON pointer, so that errors can say where they are.
class Node {
 public:
  Node(const json& value, std::string path, const std::string& source)
      : value_(value), path_(std::move(path)), source_(source) {}

  [[noreturn]] void fail(const std::string& message) const {
    throw SceneError(source_ + ": " + (path_.empty() ? "/" : path_) + ": " + message);
  }
  const json& value() const { return value_; }
  const std::string& path() const { return path_; }
  bool has(const char* key) const { return value_.contains(key); }
  Node operator[](const std::string& key) const { return Node(value_.at(key), path_ + "/" + key, source_); }
  Node operator[](std::size_t index) const {
    return Node(value_.at(index), path_ + "/" + std::to_string(index), source_);
  }

  void expectObject(std::initializer_list<const char*> allowedKeys) const {
    if (!value_.is_object()) fail("expected an object");
    for (const auto& item : value_.items()) {
      bool known = false;
      for (const char* key : allowedKeys) known = known || item.key() == key;
      if (!known) Node(item.value(), path_ + "/" + item.key(), source_).fail("unknown key \"" + item.key() + "\"");
    }
  }
  double number(double low = -kLargestSceneNumber, double high = kLargestSceneNumber) const {
    if (!value_.is_number()) fail("expected a number");
    const double result = value_.get<double>();
    if (!std::isfinite(result)) fail("expected a finite number");
    if (result < low || result > high) {
      std::ostringstream text;
      text << "expected a number from " << low << " to " << high << ", got " << result;
      fail(text.str());
    }
    return result;
  }
  int integer(int low, int high) const {
    if (!value_.is_number_integer()) fail("expected a whole number");
    // Read as unsigned where the parser stored it so: 18446744073709551615 must not wrap round to −1.
    const std::int64_t result =
        value_.is_number_unsigned()
            ? static_cast<std::int64_t>(std::min<std::uint64_t>(value_.get<std::uint64_t>(), std::uint64_t{1} << 62))
            : value_.get<std::int64_t>();
    if (result < low || result > high) {
      fail("expected a whole number from " + std::to_string(low) + " to " + std::to_string(high));
    }
    return static_cast<int>(result);
  }
  bool boolean() const {
    if (!value_.is_boolean()) fail("expected true or false");
    return value_.get<bool>();
  }
  std::string text() const {
    if (!value_.is_string()) fail("expected a text in double quotes");
    return value_.get<std::string>();
  }
  Vec3 vec3() const {
    if (!value_.is_array() || value_.size() != 3) fail("expected an array of three numbers");
    return Vec3{(*this)[0].number(), (*this)[1].number(), (*this)[2].number()};
  }
  // One of `names`, returned as its position in the list.
  int choice(std::initializer_list<const char*> names) const {
    const std::string given = text();
    int index = 0;
    std::string expected;
    for (const char* name : names) {
      if (given == name) return index;
      expected += (index == 0 ? "" : ", ") + std::string(name);
      ++index;
    }
    fail("unknown value \"" + given + "\" (expected one of: " + expected + ")");
  }

 private:
  const json& value_;
  std::string path_;
  const std::string& source_;
};

template <typename T, typename Read>
void readIf(const Node& node, const char* key, T& target, Read read) {
  if (node.has(key)) target = read(node[key]);
}

void readNumber(const Node& node, const char* key, double& target, double low = -kLargestSceneNumber,
                double high = kLargestSceneNumber) {
  readIf(node, key, target, [&](const Node& n) { return n.number(low, high); });
}
void readVec3(const Node& node, const char* key, Vec3& target) {
  readIf(node, key, target, [](const Node& n) { return n.vec3(); });
}

Camera readCamera(const Node& node) {
  node.expectObject({"position", "look_at", "up", "fov_degrees"});
  Camera camera;
  readVec3(node, "position", camera.position);
  readVec3(node, "look_at", camera.lookAt);
  readVec3(node, "up", camera.up);
  readNumber(node, "fov_degrees", camera.fovDegrees, 1.0, 170.0);
  if (length(camera.lookAt - camera.position) == 0.0) node.fail("the camera looks at its own position");
  if (length(cross(camera.lookAt - camera.position, camera.up)) == 0.0) node.fail("\"up\" runs along the view");
  return camera;
}

int imageIndex(const Node& node, const Scene& scene) {
  const std::string name = node.text();
  for (std::size_t i = 0; i < scene.images.size(); ++i) {
    if (scene.images[i].name == name) return static_cast<int>(i);
  }
  node.fail("no image named \"" + name + "\" in /images");
}

SurroundingsSource readSurroundings(const Node& node, const Scene& scene) {
  node.expectObject({"source", "image", "seam_degrees"});
  SurroundingsSource source;
  if (node.has("source")) {
    const Node codeNode = node["source"];
    source.options = codeNode.value().is_number()
                         ? codeNode.integer(-1000, 1000)  // raw channel codes, unknown ones included
                         : codeNode.choice({"backdrop", "ray_trace", "image", "ray_trace_then_image"});
  }
  if (node.has("image")) source.image = imageIndex(node["image"], scene);
  if (node.has("seam_degrees")) source.seamRadians = node["seam_degrees"].number() * kDegrees;
  return source;
}

ShaderSettings readShaderSettings(const Node& node) {
  node.expectObject({"sample", "l_size", "use_prefix", "prefix", "saved"});
  ShaderSettings settings;
  readIf(node, "sample", settings.sample, [](const Node& n) { return n.integer(-1000000, 1000000); });
  readIf(node, "l_size", settings.lSize, [](const Node& n) { return n.number(); });
  readIf(node, "use_prefix", settings.usePrefix, [](const Node& n) { return n.boolean() ? 1 : 0; });
  readIf(node, "prefix", settings.prefix, [](const Node& n) {
    const std::string prefix = n.text();
    if (prefix.size() > static_cast<std::size_t>(16)) n.fail("a prefix has at most 16 characters");
    if (prefix.find('\0') != std::string::npos) n.fail("a prefix cannot hold a NUL character");
    return prefix;
  });
  readIf(node, "saved", settings.savedBlockHex, [](const Node& n) { return n.text(); });
  return settings;
}

SceneSurface readSurface(const Node& node, const std::string& name, const Scene& scene) {
  node.expectObject({"color", "luminosity", "diffuse", "specular", "roughness", "mirror", "transparency",
                     "refractive_index", "highlight_tint", "filter_tint", "reflection", "refraction", "shader"});
  SceneSurface surface;
  surface.name = name;
  readVec3(node, "color", surface.colour);
  readNumber(node, "luminosity", surface.luminosity);
  readNumber(node, "diffuse", surface.diffuse);
  readNumber(node, "specular", surface.specular);
  readNumber(node, "roughness", surface.roughness, 1e-6, 1e6);
  readNumber(node, "mirror", surface.mirror);
  readNumber(node, "transparency", surface.transparency);
  readNumber(node, "refractive_index", surface.refractiveIndex, 1e-3, 1e3);
  readNumber(node, "highlight_tint", surface.highlightTint);
  readNumber(node, "filter_tint", surface.filterTint);
  if (node.has("reflection")) surface.reflection = readSurroundings(node["reflection"], scene);
  if (node.has("refraction")) surface.refraction = readSurroundings(node["refraction"], scene);
  if (node.has("shader")) {
    surface.carriesShader = true;
    surface.shader = readShaderSettings(node["shader"]);
  }
  return surface;
}

SceneLight readLight(const Node& node) {
  node.expectObject({"name", "kind", "color", "intensity", "position", "direction", "target", "falloff", "range",
                     "cone_degrees", "edge_degrees", "affects_diffuse", "affects_specular", "shadow"});
  SceneLight light;
  if (!node.has("name")) node.fail("a light needs a \"name\"");
  light.name = node["name"].text();
  if (node.has("kind")) light.kind = node["kind"].choice({"distant", "point", "spot", "area", "linear"});
  readVec3(node, "color", light.colour);
  double intensity = 1.0;
  readNumber(node, "intensity", intensity);
  light.colour = intensity * light.colour;
  readVec3(node, "position", light.position);
  if (node.has("direction") && node.has("target")) node.fail("give either \"direction\" or \"target\", not both");
  if (node.has("direction")) light.forward = node["direction"].vec3();
  if (node.has("target")) light.forward = node["target"].vec3() - light.position;
  if (length(light.forward) == 0.0) node.fail("the light's direction has no length");
  light.forward = unit(light.forward);
  if (node.has("falloff")) light.falloff = node["falloff"].choice({"none", "linear", "inverse", "inverse_square"});
  readNumber(node, "range", light.range, 1e-9, kLargestSceneNumber);
  double cone = 30.0, edge = 5.0;
  readNumber(node, "cone_degrees", cone, 0.0, 180.0);
  readNumber(node, "edge_degrees", edge, 0.0, 180.0);
  if (edge > cone) node.fail("\"edge_degrees\" is wider than \"cone_degrees\"");
  light.coneRadians = cone * kDegrees;
  light.edgeRadians = edge * kDegrees;
  if (node.has("affects_diffuse") && !node["affects_diffuse"].boolean()) light.flags |= kLightNoDiffuse;
  if (node.has("affects_specular") && !node["affects_specular"].boolean()) light.flags |= kLightNoSpecular;
  if (node.has("shadow")) light.shadow = node["shadow"].choice({"none", "ray_traced"});
  return light;
}

int surfaceIndex(const Node& node, const Scene& scene) {
  const std::string name = node.text();
  for (std::size_t i = 0; i < scene.surfaces.size(); ++i) {
    if (scene.surfaces[i].name == name) return static_cast<int>(i);
  }
  node.fail("no surface named \"" + name + "\" in /surfaces");
}

void readExclusions(const Node& node, const Scene& scene, SceneObject& object) {
  if (!node.value().is_array()) node.fail("expected an array of light names");
  for (std::size_t i = 0; i < node.value().size(); ++i) {
    const std::string name = node[i].text();
    if (name == "indirect") {
      object.excludesIndirect = true;
      continue;
    }
    if (name == "caustics") {
      object.excludesCaustics = true;
      continue;
    }
    bool found = false;
    for (std::size_t l = 0; l < scene.lights.size(); ++l) {
      if (scene.lights[l].name == name) {
        object.excludedLights.push_back(static_cast<int>(l));
        found = true;
      }
    }
    if (!found) node[i].fail("no light named \"" + name + "\" (nor \"indirect\" or \"caustics\")");
  }
}

SceneObject readObject(const Node& node, const Scene& scene) {
  if (!node.value().is_object()) node.fail("expected an object");
  if (!node.has("shape")) node.fail("an object needs a \"shape\"");
  SceneObject object;
  object.shape = static_cast<ShapeKind>(node["shape"].choice({"sphere", "plane", "box", "mesh"}));
  switch (object.shape) {
    case ShapeKind::kSphere:
      node.expectObject({"name", "shape", "surface", "exclude", "center", "radius"});
      readVec3(node, "center", object.centre);
      readNumber(node, "radius", object.radius, 1e-9, kLargestSceneNumber);
      break;
    case ShapeKind::kPlane:
      node.expectObject({"name", "shape", "surface", "exclude", "center", "normal", "size"});
      readVec3(node, "center", object.centre);
      readVec3(node, "normal", object.normal);
      if (length(object.normal) == 0.0) node["normal"].fail("the normal has no length");
      object.normal = unit(object.normal);
      if (node.has("size")) {
        const Node size = node["size"];
        if (!size.value().is_array() || size.value().size() != 2) size.fail("expected [width, depth]");
        object.width = size[0].number(1e-9, kLargestSceneNumber);
        object.depth = size[1].number(1e-9, kLargestSceneNumber);
      }
      break;
    case ShapeKind::kBox:
      node.expectObject({"name", "shape", "surface", "exclude", "min", "max"});
      readVec3(node, "min", object.boxMin);
      readVec3(node, "max", object.boxMax);
      if (!(object.boxMin.x < object.boxMax.x && object.boxMin.y < object.boxMax.y &&
            object.boxMin.z < object.boxMax.z)) {
        node.fail("\"min\" must be below \"max\" on every axis");
      }
      break;
    case ShapeKind::kMesh:
      node.expectObject({"name", "shape", "surface", "exclude", "file", "translate", "scale"});
      if (!node.has("file")) node.fail("a mesh needs a \"file\" (an OBJ file)");
      object.meshFile = node["file"].text();
      readVec3(node, "translate", object.translate);
      readNumber(node, "scale", object.scale, 1e-12, 1e12);
      break;
  }
  if (node.has("name")) object.name = node["name"].text();
  if (!node.has("surface")) node.fail("an object needs a \"surface\"");
  object.surface = surfaceIndex(node["surface"], scene);
  if (node.has("exclude")) readExclusions(node["exclude"], scene, object);
  return object;
}

ImageSource readImage(const Node& node, const std::string& name) {
  node.expectObject({"file", "builtin"});
  ImageSource image;
  image.name = name;
  if (node.has("file") == node.has("builtin")) node.fail("give exactly one of \"file\" and \"builtin\"");
  if (node.has("file")) image.file = node["file"].text();
  if (node.has("builtin")) image.builtin = node["builtin"].choice({"sky"}) == 0 ? "sky" : "";
  return image;
}

Backdrop readBackdrop(const Node& node, const Scene& scene) {
  node.expectObject({"zenith", "horizon", "nadir", "image", "seam_degrees"});
  Backdrop backdrop;
  readVec3(node, "zenith", backdrop.zenith);
  readVec3(node, "horizon", backdrop.horizon);
  readVec3(node, "nadir", backdrop.nadir);
  if (node.has("image")) backdrop.image = imageIndex(node["image"], scene);
  if (node.has("seam_degrees")) backdrop.seamRadians = node["seam_degrees"].number() * kDegrees;
  return backdrop;
}

IndirectLight readIndirect(const Node& node) {
  node.expectObject({"kind", "color", "sky", "ground"});
  IndirectLight indirect;
  if (!node.has("kind")) node.fail("\"indirect\" needs a \"kind\": none, constant or hemisphere");
  indirect.kind = static_cast<IndirectKind>(node["kind"].choice({"none", "constant", "hemisphere"}));
  if (indirect.kind == IndirectKind::kConstant) {
    readVec3(node, "color", indirect.sky);
    indirect.ground = indirect.sky;
  } else {
    readVec3(node, "sky", indirect.sky);
    readVec3(node, "ground", indirect.ground);
  }
  return indirect;
}

void readRender(const Node& node, Scene& scene) {
  node.expectObject({"width", "height", "max_depth", "time"});
  readIf(node, "width", scene.width, [](const Node& n) { return n.integer(1, 16384); });
  readIf(node, "height", scene.height, [](const Node& n) { return n.integer(1, 16384); });
  readIf(node, "max_depth", scene.maxDepth, [](const Node& n) { return n.integer(0, 64); });
  readNumber(node, "time", scene.time);
}

// Named entries ("images", "surfaces") come as an object of objects.
template <typename Read>
void forEachNamed(const Node& node, Read read) {
  if (!node.value().is_object()) node.fail("expected an object of named entries");
  for (const auto& item : node.value().items()) read(node[item.key()], item.key());
}

template <typename Read>
void forEachListed(const Node& node, Read read) {
  if (!node.value().is_array()) node.fail("expected an array");
  for (std::size_t i = 0; i < node.value().size(); ++i) read(node[i]);
}

// "line L, column C" of a byte offset, for syntax errors.
std::string lineAndColumn(const std::string& text, std::size_t byte) {
  std::size_t line = 1, column = 1;
  for (std::size_t i = 0; i < byte && i < text.size(); ++i) {
    if (text[i] == '\n') {
      ++line;
      column = 1;
    } else {
      ++column;
    }
  }
  return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

// JSON lets a repeated key silently replace the earlier one; in a scene file that would lose a
// surface or an image without a word, so the parser's callback refuses it, saying in which object.
// It also refuses absurdly deep nesting.
class RepeatedKeyCheck {
 public:
  // A scene is a few levels deep; a file nested deeper than this is refused before it takes memory.
  static constexpr std::size_t kDeepestNesting = 100;

  explicit RepeatedKeyCheck(const std::string& source) : source_(source) {}

  bool operator()(int /*depth*/, json::parse_event_t event, const json& parsed) {
    switch (event) {
      case json::parse_event_t::object_start:
      case json::parse_event_t::array_start:
        if (open_.size() >= kDeepestNesting) {
          throw SceneError(source_ + ": " + pathOfInnermost() + ": objects and arrays nested more than " +
                           std::to_string(kDeepestNesting) + " deep");
        }
        open_.push_back(Level{event == json::parse_event_t::object_start, {}, {}, 0});
        break;
      case json::parse_event_t::key: {
        Level& level = open_.back();
        level.key = parsed.get<std::string>();
        if (!level.keys.insert(level.key).second) {
          throw SceneError(source_ + ": " + pathOfInnermost() + ": the key \"" + level.key + "\" appears twice");
        }
        break;
      }
      case json::parse_event_t::object_end:
      case json::parse_event_t::array_end:
        open_.pop_back();
        countElement();
        break;
      case json::parse_event_t::value:
        countElement();
        break;
    }
    return true;
  }

 private:
  struct Level {
    bool isObject;
    std::set<std::string> keys;
    std::string key;    // the object's current key
    std::size_t index;  // the array's current element
  };

  void countElement() {
    if (!open_.empty() && !open_.back().isObject) ++open_.back().index;
  }
  // The JSON pointer of the innermost open object or array.
  std::string pathOfInnermost() const {
    std::string path;
    for (std::size_t i = 0; i + 1 < open_.size(); ++i)
      path += "/" + (open_[i].isObject ? open_[i].key : std::to_string(open_[i].index));
    return path.empty() ? "/" : path;
  }

  const std::string& source_;
  std::vector<Level> open_;
};

// The place of a number the parser could not hold (such as 1e400), found by its text in the message.
std::string placeOfQuotedText(const std::string& text, const std::string& message) {
  const std::size_t open = message.find('\''), close = message.rfind('\'');
  if (open == std::string::npos || close <= open + 1) return "";
  const std::size_t at = text.find(message.substr(open + 1, close - open - 1));
  return at == std::string::npos ? "" : lineAndColumn(text, at) + ": ";
}

}  // namespace

Scene parseScene(const std::string& text, const std::string& sourceName, const std::string& directory) {
  json document;
  try {
    document = json::parse(text, RepeatedKeyCheck(sourceName));
  } catch (const json::parse_error& error) {
    std::string reason = error.what();
    const std::size_t cut = reason.find("syntax error");
    if (cut != std::string::npos) reason = reason.substr(cut);
    throw SceneError(sourceName + ": " + lineAndColumn(text, error.byte == 0 ? 0 : error.byte - 1) + ": " + reason);
  } catch (const json::exception& error) {
    // Not a syntax error, but a value the parser cannot hold: "[json.exception.out_of_range.406] number
    // overflow parsing '1e400'" loses its bracketed tag and gains the file and the place.
    std::string reason = error.what();
    const std::size_t tag = reason.find("] ");
    if (tag != std::string::npos) reason = reason.substr(tag + 2);
    throw SceneError(sourceName + ": " + placeOfQuotedText(text, reason) + reason);
  }
  const Node root(document, "", sourceName);
  root.expectObject(
      {"render", "camera", "ambient", "indirect", "caustics", "backdrop", "images", "lights", "surfaces", "objects"});
  Scene scene;
  scene.directory = directory;
  if (root.has("render")) readRender(root["render"], scene);
  if (root.has("camera")) scene.camera = readCamera(root["camera"]);
  readVec3(root, "ambient", scene.ambient);
  if (root.has("indirect")) scene.indirect = readIndirect(root["indirect"]);
  if (root.has("caustics")) scene.caustics = root["caustics"].vec3();
  if (root.has("images")) {
    forEachNamed(root["images"],
                 [&](const Node& n, const std::string& name) { scene.images.push_back(readImage(n, name)); });
  }
  if (root.has("backdrop")) scene.backdrop = readBackdrop(root["backdrop"], scene);
  if (root.has("lights")) forEachListed(root["lights"], [&](const Node& n) { scene.lights.push_back(readLight(n)); });
  if (root.has("surfaces")) {
    forEachNamed(root["surfaces"], [&](const Node& n, const std::string& name) {
      scene.surfaces.push_back(readSurface(n, name, scene));
    });
  }
  if (!root.has("objects")) root.fail("a scene needs \"objects\"");
  forEachListed(root["objects"], [&](const Node& n) { scene.objects.push_back(readObject(n, scene)); });
  return scene;
}

Scene loadSceneFile(const std::string& path) {
  // Only a regular file of a sensible size: a device such as /dev/zero would be read for ever.
  constexpr long long kLargestSceneFile = 64LL << 20;
  struct stat status {};
  if (stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode))
    throw SceneError(path + ": not a scene file (not a regular file)");
  if (stat(path.c_str(), &status) == 0 && status.st_size > kLargestSceneFile)
    throw SceneError(path + ": a scene file has at most 64 MiB, this one has " + std::to_string(status.st_size) +
                     " bytes");
  std::ifstream file(path, std::ios::binary);
  if (!file) throw SceneError(path + ": cannot open the scene file");
  std::ostringstream text;
  text << file.rdbuf();
  const std::size_t slash = path.find_last_of('/');
  return parseScene(text.str(), path, slash == std::string::npos ? "." : path.substr(0, slash));
}
