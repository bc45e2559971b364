#include "reference_host/mesh_shapes.h"

#include <sys/stat.h>
#include <tiny_obj_loader.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "reference_host/host_vec.h"

TriangleSoup planeTriangles(const SceneObject& plane) {
  // Two in-plane axes: any vector not along the normal, made perpendicular.
  const Vec3 n = plane.normal;
  const Vec3 helper = std::fabs(n.y) < 0.9 ? Vec3{0.0, 1.0, 0.0} : Vec3{0.0, 0.0, 1.0};
  const Vec3 across = unit(cross(helper, n));
  const Vec3 along = cross(n, across);
  const Vec3 a = 0.5 * plane.width * across, b = 0.5 * plane.depth * along;
  TriangleSoup soup;
  soup.vertices = {plane.centre - a - b, plane.centre + a - b, plane.centre + a + b, plane.centre - a + b};
  // Wound so that the flat normal, cross(v1 − v0, v2 − v0), is the plane's normal.
  if (dot(cross(soup.vertices[1] - soup.vertices[0], soup.vertices[2] - soup.vertices[0]), n) > 0.0) {
    soup.indices = {0, 1, 2, 0, 2, 3};
  } else {
    soup.indices = {0, 2, 1, 0, 3, 2};
  }
  return soup;
}

TriangleSoup boxTriangles(const SceneObject& box) {
  const Vec3 lo = box.boxMin, hi = box.boxMax;
  TriangleSoup soup;
  for (int corner = 0; corner < 8; ++corner) {
    soup.vertices.push_back(Vec3{corner & 1 ? hi.x : lo.x, corner & 2 ? hi.y : lo.y, corner & 4 ? hi.z : lo.z});
  }
  // Each face as two triangles wound outwards.
  soup.indices = {0, 2, 1, 1, 2, 3, 4, 5, 6, 5, 7, 6, 0, 1, 4, 1, 5, 4,
                  2, 6, 3, 3, 6, 7, 0, 4, 2, 2, 4, 6, 1, 3, 5, 3, 7, 5};
  return soup;
}

TriangleSoup meshTriangles(const SceneObject& mesh, const std::string& directory) {
  const std::string path =
      !mesh.meshFile.empty() && mesh.meshFile[0] == '/' ? mesh.meshFile : directory + "/" + mesh.meshFile;
  struct stat status {};
  if (stat(path.c_str(), &status) != 0) throw std::runtime_error(path + ": no such OBJ file");
  if (!S_ISREG(status.st_mode)) throw std::runtime_error(path + ": not an OBJ file (not a regular file)");
  tinyobj::ObjReaderConfig config;
  config.triangulate = true;
  config.vertex_color = false;
  tinyobj::ObjReader reader;
  if (!reader.ParseFromFile(path, config)) {
    throw std::runtime_error(path + ": cannot read the OBJ file" +
                             (reader.Error().empty() ? "" : ": " + reader.Error()));
  }
  const tinyobj::attrib_t& attrib = reader.GetAttrib();
  // The reader passes on face indexes as written (made absolute); one that names no vertex or normal
  // of the file is an error here, not a read outside the lists.
  const std::size_t vertexCount = attrib.vertices.size() / 3, normalCount = attrib.normals.size() / 3;
  bool allNormals = normalCount > 0;
  for (const tinyobj::shape_t& shape : reader.GetShapes()) {
    for (const tinyobj::index_t& index : shape.mesh.indices) {
      if (index.vertex_index < 0 || static_cast<std::size_t>(index.vertex_index) >= vertexCount) {
        throw std::runtime_error(path + ": a face names " +
                                 (index.vertex_index < 0 ? std::string("a vertex before the first")
                                                         : "vertex " + std::to_string(index.vertex_index + 1)) +
                                 ", the file has " + std::to_string(vertexCount));
      }
      if (index.normal_index >= 0 && static_cast<std::size_t>(index.normal_index) >= normalCount) {
        throw std::runtime_error(path + ": a face names normal " + std::to_string(index.normal_index + 1) +
                                 ", the file has " + std::to_string(normalCount));
      }
      allNormals = allNormals && index.normal_index >= 0;
    }
  }
  TriangleSoup soup;
  for (const tinyobj::shape_t& shape : reader.GetShapes()) {
    for (const tinyobj::index_t& index : shape.mesh.indices) {
      const std::size_t v = 3 * static_cast<std::size_t>(index.vertex_index);
      soup.vertices.push_back(mesh.translate +
                              mesh.scale * Vec3{attrib.vertices[v], attrib.vertices[v + 1], attrib.vertices[v + 2]});
      if (allNormals) {
        const std::size_t n = 3 * static_cast<std::size_t>(index.normal_index);
        soup.vertexNormals.push_back(unit(Vec3{attrib.normals[n], attrib.normals[n + 1], attrib.normals[n + 2]}));
      }
      soup.indices.push_back(static_cast<unsigned>(soup.indices.size()));
    }
  }
  if (soup.indices.empty()) throw std::runtime_error(path + ": the OBJ file holds no faces");
  for (const Vec3& vertex : soup.vertices) {
    const double largest = std::max({std::fabs(vertex.x), std::fabs(vertex.y), std::fabs(vertex.z)});
    if (!(largest <= kLargestSceneNumber)) {
      throw std::runtime_error(path + ": a vertex, scaled and moved, lies beyond ±1e12 or is not a number");
    }
  }
  return soup;
}
