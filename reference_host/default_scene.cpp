#include "reference_host/default_scene.h"

// A floor with a crate, a mirror ball and a glass ball. "Soft Spot" and "Soft Point" cast
// ray-traced shadows and match the surfaces' prefix "Soft", so the shader softens them; "Rim" casts
// ray-traced shadows too but is left to the host by the prefix filter (hard shadow); "Fill" is an
// area light, a kind the shader always leaves to the host. The environment is the built-in sky.
const char* defaultSceneText() {
  return R"json({
  "render": {"width": 640, "height": 480, "max_depth": 6},
  "camera": {"position": [0.0, 2.6, 8.5], "look_at": [0.0, 0.9, 0.0], "fov_degrees": 38},
  "ambient": [0.05, 0.05, 0.06],
  "indirect": {"kind": "hemisphere", "sky": [0.1, 0.12, 0.16], "ground": [0.05, 0.045, 0.04]},
  "images": {"sky": {"builtin": "sky"}},
  "backdrop": {"image": "sky"},
  "lights": [
    {"name": "Soft Spot", "kind": "spot", "position": [3.5, 6.0, 3.5], "target": [0.0, 0.5, 0.0],
     "color": [1.0, 0.95, 0.85], "intensity": 0.55, "cone_degrees": 35, "edge_degrees": 8, "shadow": "ray_traced"},
    {"name": "Soft Point", "kind": "point", "position": [-3.5, 4.5, 2.5], "color": [0.3, 0.34, 0.42],
     "falloff": "inverse_square", "range": 6.0, "shadow": "ray_traced"},
    {"name": "Rim", "kind": "point", "position": [2.0, 5.0, -4.5], "color": [0.45, 0.4, 0.35], "shadow": "ray_traced"},
    {"name": "Fill", "kind": "area", "position": [0.0, 5.0, 7.0], "color": [0.12, 0.12, 0.14], "shadow": "none"}
  ],
  "surfaces": {
    "Floor": {"color": [0.8, 0.78, 0.74], "diffuse": 0.9, "specular": 0.05, "roughness": 0.3,
              "shader": {"sample": 6, "l_size": 1.2, "use_prefix": true, "prefix": "Soft"}},
    "Crate": {"color": [0.75, 0.22, 0.15], "diffuse": 0.9, "specular": 0.25, "roughness": 0.08,
              "shader": {"sample": 6, "l_size": 1.2, "use_prefix": true, "prefix": "Soft"}},
    "Chrome": {"color": [0.92, 0.92, 0.95], "diffuse": 0.05, "specular": 0.6, "roughness": 0.02, "mirror": 0.9,
               "reflection": {"source": "ray_trace_then_image", "image": "sky"},
               "shader": {"sample": 6, "l_size": 1.2, "use_prefix": true, "prefix": "Soft"}},
    "Glass": {"color": [0.85, 1.0, 0.92], "diffuse": 0.0, "specular": 0.8, "roughness": 0.01, "mirror": 0.08,
              "transparency": 0.92, "refractive_index": 1.5, "filter_tint": 0.4,
              "reflection": {"source": "ray_trace_then_image", "image": "sky"},
              "refraction": {"source": "ray_trace_then_image", "image": "sky"},
              "shader": {"sample": 6, "l_size": 1.2, "use_prefix": true, "prefix": "Soft"}}
  },
  "objects": [
    {"name": "Floor", "shape": "plane", "center": [0, 0, 0], "size": [120, 120], "surface": "Floor"},
    {"name": "Crate", "shape": "box", "min": [-3.1, 0.0, -0.7], "max": [-1.8, 1.3, 0.6], "surface": "Crate"},
    {"name": "Mirror ball", "shape": "sphere", "center": [-0.2, 1.0, -0.6], "radius": 1.0, "surface": "Chrome"},
    {"name": "Glass ball", "shape": "sphere", "center": [2.0, 0.75, 0.7], "radius": 0.75, "surface": "Glass"}
  ]
})json";
}
