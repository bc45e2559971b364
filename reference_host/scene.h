// The reference host's scene: what a scene file describes, after loading and checking. Plain data;
// the ray caster, the services and the renderer read it, nothing changes it while rendering.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "module/host_interface.h"

// Every number in a scene lies within ±kLargestSceneNumber, mesh vertices included: the ray caster
// works in single precision, and products of such numbers stay finite.
inline constexpr double kLargestSceneNumber = 1e12;

struct Camera {
  Vec3 position{0.0, 1.0, 5.0};
  Vec3 lookAt{0.0, 0.0, 0.0};
  Vec3 up{0.0, 1.0, 0.0};
  double fovDegrees = 45.0;  // vertical field of view
};

struct SceneLight {
  std::string name;
  int kind = kLightPoint;      // LightKind code as the light service reports it
  Vec3 colour{1.0, 1.0, 1.0};  // already multiplied by the intensity
  Vec3 position;
  Vec3 forward{0.0, -1.0, 0.0};  // unit forward axis: a distant light's direction, a spot's axis
  int falloff = 0;               // 0 none, 1 linear, 2 inverse distance, 3 inverse square
  double range = 10.0;
  double coneRadians = 0.5;
  double edgeRadians = 0.1;
  unsigned flags = 0;  // kLightNoDiffuse, kLightNoSpecular
  int shadow = kShadowRayTraced;
};

// Where a surface's reflection or refraction colour comes from (the "...Options" channel codes).
struct SurroundingsSource {
  int options = 0;  // 0 backdrop, 1 ray trace, 2 image, 3 ray trace then image
  int image = -1;   // index into Scene::images, or -1 for none
  std::optional<double> seamRadians;
};

// The four settings of a surface that carries the shader, as the scene asks for them. Unset fields
// keep what the module's instance holds; `savedBlockHex` is loaded first, the fields after it.
struct ShaderSettings {
  std::optional<int> sample;
  std::optional<double> lSize;
  std::optional<int> usePrefix;
  std::optional<std::string> prefix;
  std::optional<std::string> savedBlockHex;
};

struct SceneSurface {
  std::string name;
  Vec3 colour{0.8, 0.8, 0.8};
  double luminosity = 0.0;
  double diffuse = 1.0;
  double specular = 0.0;
  double roughness = 0.1;  // highlight exponent is 1 / roughness
  double mirror = 0.0;
  double transparency = 0.0;
  double refractiveIndex = 1.0;
  double highlightTint = 0.0;
  double filterTint = 0.0;
  SurroundingsSource reflection;
  SurroundingsSource refraction;
  bool carriesShader = false;
  ShaderSettings shader;
};

enum class ShapeKind { kSphere, kPlane, kBox, kMesh };

struct SceneObject {
  std::string name;
  ShapeKind shape = ShapeKind::kSphere;
  int surface = 0;  // index into Scene::surfaces
  Vec3 centre;      // sphere, plane
  double radius = 1.0;
  Vec3 normal{0.0, 1.0, 0.0};         // plane
  double width = 10.0, depth = 10.0;  // plane extent along its two in-plane axes
  Vec3 boxMin{-0.5, -0.5, -0.5}, boxMax{0.5, 0.5, 0.5};
  std::string meshFile;  // absolute or relative to the scene file
  Vec3 translate;
  double scale = 1.0;
  std::vector<int> excludedLights;  // indexes into Scene::lights
  bool excludesIndirect = false;
  bool excludesCaustics = false;
};

struct ImageSource {
  std::string name;
  std::string file;     // a PNG, JPEG or HDR file, or empty for a built-in image
  std::string builtin;  // "sky": the procedural environment
};

struct Backdrop {
  Vec3 zenith{0.25, 0.4, 0.8};
  Vec3 horizon{0.8, 0.85, 0.9};
  Vec3 nadir{0.3, 0.28, 0.25};
  int image = -1;  // a spherical image instead of the gradient
  double seamRadians = 0.0;
};

enum class IndirectKind { kNone, kConstant, kHemisphere };

// The pseudo-light 0x21000000: light bounced around the scene, modelled as a constant or as a sky
// and ground hemisphere around the shading normal.
struct IndirectLight {
  IndirectKind kind = IndirectKind::kNone;
  Vec3 sky{0.1, 0.1, 0.1};
  Vec3 ground{0.1, 0.1, 0.1};
};

struct Scene {
  std::string directory;  // where relative file names start
  Camera camera;
  int width = 640;
  int height = 480;
  int maxDepth = 6;  // nested traces beyond this report a miss
  double time = 0.0;
  Vec3 ambient{0.05, 0.05, 0.05};
  IndirectLight indirect;
  std::optional<Vec3> caustics;  // the pseudo-light 0x22000000; none by default
  Backdrop backdrop;
  std::vector<ImageSource> images;
  std::vector<SceneLight> lights;
  std::vector<SceneSurface> surfaces;
  std::vector<SceneObject> objects;
};
