// Ray casting against the scene's shapes with Embree. Embree finds the nearest primitive in single
// precision; the hit is then recomputed in double precision on that primitive (the sphere's or the
// triangle's own equation), so positions and normals are as exact as the scene's numbers allow.
#pragma once

#include <embree3/rtcore.h>

#include <optional>
#include <vector>

#include "reference_host/scene.h"

struct TriangleSoup;

struct RayHit {
  double distance = 0.0;
  Vec3 position;
  Vec3 normal;  // unit, facing out of the shape (not necessarily towards the ray)
  int object = -1;
};

class RayCaster {
 public:
  // Builds the geometry of every object; throws std::runtime_error when a mesh file cannot be read.
  explicit RayCaster(const Scene& scene);
  ~RayCaster();
  RayCaster(const RayCaster&) = delete;
  RayCaster& operator=(const RayCaster&) = delete;

  // The nearest hit along a unit direction, ignoring hits closer than margin() (the surface the ray
  // starts from). Safe to call from many threads at once.
  std::optional<RayHit> intersect(const Vec3& origin, const Vec3& direction) const;
  double margin() const { return margin_; }

 private:
  struct Triangle {
    unsigned corner[3];
  };
  // One Embree geometry per scene object, kept in double precision for the refinement.
  struct Shape {
    bool sphere = false;
    Vec3 centre;
    double radius = 0.0;
    std::vector<Vec3> vertices;
    std::vector<Vec3> vertexNormals;  // empty: flat normals
    std::vector<Triangle> triangles;
  };

  void build(const Scene& scene, std::vector<TriangleSoup>& soups);
  void release();
  void addShape(Shape shape);
  RayHit refine(const Shape& shape, unsigned primitive, float u, float v, float t, const Vec3& origin,
                const Vec3& direction) const;

  RTCDevice device_ = nullptr;
  RTCScene scene_ = nullptr;
  std::vector<Shape> shapes_;  // indexed by Embree geometry id = object index
  double margin_ = 1e-4;
};
