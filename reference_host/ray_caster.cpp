#include "reference_host/ray_caster.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>

#include "reference_host/host_vec.h"
#include "reference_host/mesh_shapes.h"

namespace {

// The largest coordinate in the scene: the self-intersection margin scales with it, because
// single-precision hits are that much less exact far from the origin.
double sceneExtent(const Scene& scene, const std::vector<TriangleSoup>& soups) {
  double extent = 1.0;
  auto include = [&](const Vec3& p) { extent = std::max({extent, std::fabs(p.x), std::fabs(p.y), std::fabs(p.z)}); };
  for (const SceneObject& object : scene.objects) {
    if (object.shape != ShapeKind::kSphere) continue;
    const Vec3 reach{object.radius, object.radius, object.radius};
    include(object.centre + reach);
    include(object.centre - reach);
  }
  for (const TriangleSoup& soup : soups) {
    for (const Vec3& v : soup.vertices) include(v);
  }
  return extent;
}

}  // namespace

RayCaster::RayCaster(const Scene& scene) {
  // Files are read before Embree is started, so that a bad mesh file leaves nothing to release.
  std::vector<TriangleSoup> soups(scene.objects.size());
  for (std::size_t i = 0; i < scene.objects.size(); ++i) {
    const SceneObject& object = scene.objects[i];
    if (object.shape == ShapeKind::kPlane) soups[i] = planeTriangles(object);
    if (object.shape == ShapeKind::kBox) soups[i] = boxTriangles(object);
    if (object.shape == ShapeKind::kMesh) soups[i] = meshTriangles(object, scene.directory);
  }
  margin_ = 1e-5 * sceneExtent(scene, soups);

  // One thread for building: scenes are small, and render threads are the host's own.
  device_ = rtcNewDevice("threads=1");
  if (device_ == nullptr) throw std::runtime_error("cannot start the ray caster (Embree)");
  try {
    build(scene, soups);
  } catch (...) {
    release();
    throw;
  }
}

void RayCaster::build(const Scene& scene, std::vector<TriangleSoup>& soups) {
  scene_ = rtcNewScene(device_);
  rtcSetSceneFlags(scene_, RTC_SCENE_FLAG_ROBUST);

  for (std::size_t i = 0; i < scene.objects.size(); ++i) {
    const SceneObject& object = scene.objects[i];
    Shape shape;
    if (object.shape == ShapeKind::kSphere) {
      shape.sphere = true;
      shape.centre = object.centre;
      shape.radius = object.radius;
    } else {
      shape.vertices = std::move(soups[i].vertices);
      shape.vertexNormals = std::move(soups[i].vertexNormals);
      for (std::size_t t = 0; t + 2 < soups[i].indices.size(); t += 3) {
        shape.triangles.push_back(Triangle{{soups[i].indices[t], soups[i].indices[t + 1], soups[i].indices[t + 2]}});
      }
    }
    addShape(std::move(shape));
  }
  rtcCommitScene(scene_);
  if (rtcGetDeviceError(device_) != RTC_ERROR_NONE)
    throw std::runtime_error("the ray caster (Embree) rejected the scene");
}

RayCaster::~RayCaster() { release(); }

void RayCaster::release() {
  if (scene_ != nullptr) rtcReleaseScene(scene_);
  if (device_ != nullptr) rtcReleaseDevice(device_);
  scene_ = nullptr;
  device_ = nullptr;
}

void RayCaster::addShape(Shape shape) {
  RTCGeometry geometry;
  if (shape.sphere) {
    geometry = rtcNewGeometry(device_, RTC_GEOMETRY_TYPE_SPHERE_POINT);
    auto* point = static_cast<float*>(
        rtcSetNewGeometryBuffer(geometry, RTC_BUFFER_TYPE_VERTEX, 0, RTC_FORMAT_FLOAT4, 4 * sizeof(float), 1));
    point[0] = static_cast<float>(shape.centre.x);
    point[1] = static_cast<float>(shape.centre.y);
    point[2] = static_cast<float>(shape.centre.z);
    point[3] = static_cast<float>(shape.radius);
  } else {
    geometry = rtcNewGeometry(device_, RTC_GEOMETRY_TYPE_TRIANGLE);
    auto* vertices = static_cast<float*>(rtcSetNewGeometryBuffer(geometry, RTC_BUFFER_TYPE_VERTEX, 0, RTC_FORMAT_FLOAT3,
                                                                 3 * sizeof(float), shape.vertices.size()));
    for (std::size_t v = 0; v < shape.vertices.size(); ++v) {
      vertices[3 * v] = static_cast<float>(shape.vertices[v].x);
      vertices[3 * v + 1] = static_cast<float>(shape.vertices[v].y);
      vertices[3 * v + 2] = static_cast<float>(shape.vertices[v].z);
    }
    auto* indices = static_cast<unsigned*>(rtcSetNewGeometryBuffer(geometry, RTC_BUFFER_TYPE_INDEX, 0, RTC_FORMAT_UINT3,
                                                                   3 * sizeof(unsigned), shape.triangles.size()));
    for (std::size_t t = 0; t < shape.triangles.size(); ++t) {
      std::copy(shape.triangles[t].corner, shape.triangles[t].corner + 3, indices + 3 * t);
    }
  }
  rtcCommitGeometry(geometry);
  rtcAttachGeometryByID(scene_, geometry, static_cast<unsigned>(shapes_.size()));
  rtcReleaseGeometry(geometry);
  shapes_.push_back(std::move(shape));
}

std::optional<RayHit> RayCaster::intersect(const Vec3& origin, const Vec3& direction) const {
  if (!isFinite(origin) || !isFinite(direction) || length(direction) == 0.0) return std::nullopt;
  RTCIntersectContext context;
  rtcInitIntersectContext(&context);
  RTCRayHit query{};
  query.ray.org_x = static_cast<float>(origin.x);
  query.ray.org_y = static_cast<float>(origin.y);
  query.ray.org_z = static_cast<float>(origin.z);
  query.ray.dir_x = static_cast<float>(direction.x);
  query.ray.dir_y = static_cast<float>(direction.y);
  query.ray.dir_z = static_cast<float>(direction.z);
  query.ray.tnear = static_cast<float>(margin_);
  query.ray.tfar = std::numeric_limits<float>::infinity();
  query.ray.mask = 0xFFFFFFFFu;
  query.hit.geomID = RTC_INVALID_GEOMETRY_ID;
  rtcIntersect1(scene_, &context, &query);
  if (query.hit.geomID == RTC_INVALID_GEOMETRY_ID) return std::nullopt;
  RayHit hit =
      refine(shapes_[query.hit.geomID], query.hit.primID, query.hit.u, query.hit.v, query.ray.tfar, origin, direction);
  hit.object = static_cast<int>(query.hit.geomID);
  return hit;
}

RayHit RayCaster::refine(const Shape& shape, unsigned primitive, float u, float v, float t, const Vec3& origin,
                         const Vec3& direction) const {
  RayHit hit;
  hit.distance = t;
  if (shape.sphere) {
    // |o + t d − c|² = r², solved in double; of the two roots, the one Embree found.
    const Vec3 oc = origin - shape.centre;
    const double a = dot(direction, direction);
    const double b = dot(oc, direction);
    const double c = dot(oc, oc) - shape.radius * shape.radius;
    const double discriminant = b * b - a * c;
    if (discriminant >= 0.0) {
      const double root = std::sqrt(discriminant);
      const double near = (-b - root) / a, far = (-b + root) / a;
      hit.distance = std::fabs(near - t) <= std::fabs(far - t) ? near : far;
    }
    hit.position = origin + hit.distance * direction;
    hit.normal = unit(hit.position - shape.centre);
    return hit;
  }
  const Triangle& triangle = shape.triangles[primitive];
  const Vec3& v0 = shape.vertices[triangle.corner[0]];
  const Vec3 flat = cross(shape.vertices[triangle.corner[1]] - v0, shape.vertices[triangle.corner[2]] - v0);
  const double along = dot(direction, flat);
  if (along != 0.0) hit.distance = dot(v0 - origin, flat) / along;
  hit.position = origin + hit.distance * direction;
  if (shape.vertexNormals.empty()) {
    hit.normal = unit(flat);
  } else {
    const double w = 1.0 - u - v;
    hit.normal = unit(w * shape.vertexNormals[triangle.corner[0]] +
                      static_cast<double>(u) * shape.vertexNormals[triangle.corner[1]] +
                      static_cast<double>(v) * shape.vertexNormals[triangle.corner[2]]);
  }
  return hit;
}
