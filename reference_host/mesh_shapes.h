// Triangle soups of the flat shapes and of OBJ meshes, in world coordinates.
#pragma once

#include <string>
#include <vector>

#include "reference_host/scene.h"

struct TriangleSoup {
  std::vector<Vec3> vertices;
  std::vector<Vec3> vertexNormals;  // one per vertex, or empty for flat shading
  std::vector<unsigned> indices;    // three per triangle
};

TriangleSoup planeTriangles(const SceneObject& plane);
TriangleSoup boxTriangles(const SceneObject& box);
// Reads an OBJ file (relative names start at `directory`), scaled then translated. Throws
// std::runtime_error naming the file when it cannot be read or holds no triangles.
TriangleSoup meshTriangles(const SceneObject& mesh, const std::string& directory);
