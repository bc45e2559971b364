#include "shading/own_path_light.h"

#include "instance/shader_instance.h"
#include "module/host_services.h"
#include "shading/own_light_model.h"
#include "shading/shadow_random.h"
#include "shading/vector_ops.h"

namespace {

constexpr double kDrawScale = 3.051850947599719e-05;  // scales a draw into [0, 1]
static_assert(kDrawScale == 1.0 / kRandomMax);

double scaledDraw(RandomBlock& draws) { return draws.next() * kDrawScale; }

// The square area light: its centre and two half-edge vectors, rows along `rowHalfEdge` and columns
// along `columnHalfEdge`.
struct LightSquare {
  Vec3 centre;
  Vec3 rowHalfEdge;
  Vec3 columnHalfEdge;
};

// The square of edge `edgeLength` through the light's centre, perpendicular to the unit `direction`
// and turned about it by a random vector R (three draws). R parallel to the direction leaves both
// half-edges zero: every cell then aims at the centre, a hard shadow.
LightSquare facingSquare(ItemHandle light, const Vec3& direction, double edgeLength, RandomBlock& draws) {
  LightSquare square;
  gItemInfo->itemVector(light, kVectorWorldPosition, gRenderTime, &square.centre);
  const double first = scaledDraw(draws);
  const double second = scaledDraw(draws);
  const double third = scaledDraw(draws);
  const Vec3 randomAxis = vecUnit(Vec3{third, second, first});
  const Vec3 rowUnit = vecUnit(vecCross(direction, randomAxis));
  const Vec3 columnUnit = vecUnit(vecCross(direction, rowUnit));
  const double halfEdge = edgeLength * 0.5;
  square.rowHalfEdge = vecScaled(rowUnit, halfEdge);
  square.columnHalfEdge = vecScaled(columnUnit, halfEdge);
  return square;
}

// One jittered point in the cell at (row, column) of an n × n grid over the square: the first draw
// offsets the column, the second the row.
Vec3 cellPoint(const LightSquare& square, int row, int column, double cellsPerEdge, RandomBlock& draws) {
  const double x = ((scaledDraw(draws) + column) * 2.0) / cellsPerEdge - 1.0;
  const double y = ((scaledDraw(draws) + row) * 2.0) / cellsPerEdge - 1.0;
  Vec3 point = square.centre;
  vecAddTo(point, vecScaled(square.rowHalfEdge, y));
  vecAddTo(point, vecScaled(square.columnHalfEdge, x));
  return point;
}

// Whether something lies between `from` and `target`, strictly before the target. A target at
// `from` itself cannot be blocked, so no ray with a zero direction is handed to the host.
bool rayBlocked(const ShaderAccess& access, const Vec3& from, const Vec3& target) {
  const Vec3 offset = vecMinus(target, from);
  const double distance = vecLength(offset);
  if (distance == 0.0) return false;
  const Vec3 unit = vecDividedByLength(offset, distance);
  const double hit = access.castDistance(&from, &unit);
  return hit < distance && hit >= 0.0;
}

// Takes one share of `colour` away for every blocked ray of the grid.
void shadeSoftShadow(ItemHandle light, const ShaderAccess& access, const ShaderInstance& instance, const Vec3& position,
                     const Vec3& direction, Vec3& colour) {
  const int cellsPerEdge = instance.sample > 0 ? instance.sample : 0;
  const std::uint32_t edge = static_cast<std::uint32_t>(cellsPerEdge);
  RandomBlock draws = reserveRandomDraws(3u + 2u * edge * edge);  // unsigned: wraps, never overflows

  const double n = cellsPerEdge;
  const double cells = n * n;
  const Vec3 share{colour.x / cells, colour.y / cells, colour.z / cells};
  const LightSquare square = facingSquare(light, direction, instance.l_size, draws);
  for (int row = 0; row < cellsPerEdge; ++row) {
    for (int column = 0; column < cellsPerEdge; ++column) {
      if (rayBlocked(access, position, cellPoint(square, row, column, n, draws))) {
        colour = vecMinus(colour, share);
      }
    }
  }
}

}  // namespace

void ownPathLight(ItemHandle light, const ShaderAccess& access, const ShaderInstance& instance, const Vec3& position,
                  Vec3& direction, Vec3& colour) {
  illuminateOwn(light, position, direction, colour);
  vecNormalizeInto(direction, direction);
  if (gLightInfo->shadowKind(light) == kShadowRayTraced) {
    shadeSoftShadow(light, access, instance, position, direction, colour);
    return;
  }
  if (access.lightAtPoint(light, &position, &direction, &colour) == 0) colour = Vec3{};
}
