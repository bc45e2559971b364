// Shading from several threads at once: every evaluation must draw one whole block of the single
// random sequence, no two the same, and light its sample from exactly the rays of that block.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

#include "shading/evaluate_surface.h"
#include "shading/shadow_random.h"
#include "tests/quiet_host.h"
#include "tests/shadow_reference.h"

namespace {

using RayList = std::vector<std::array<double, 3>>;

thread_local RayList tCastDirections;  // the shadow rays of this thread's current evaluation

// Blocks every ray that climbs (+y), at half the way to the light; records each ray.
double recordAndBlockClimbingRays(const Vec3*, const Vec3* direction) {
  tCastDirections.push_back({direction->x, direction->y, direction->z});
  return direction->y > 0.0 ? 5.0 : -1.0;
}

struct Evaluation {
  RayList rays;
  Vec3 colour;
};

TEST(OwnPathThreads, ConcurrentEvaluationsDrawDisjointBlocksOfTheOneSequence) {
  constexpr int kThreads = 4;
  constexpr int kEvaluationsPerThread = 150;
  constexpr int kCellsPerEdge = 4;
  constexpr std::uint32_t kDrawsPerEvaluation = 3 + 2 * kCellsPerEdge * kCellsPerEdge;

  QuietScene scene;
  scene.castDistance = recordAndBlockClimbingRays;
  QuietHost host(scene);
  const ShaderInstance instance = QuietHost::makeInstance(kCellsPerEdge, 2.0);
  const std::uint32_t first = randomDrawsSoFar();

  std::vector<std::vector<Evaluation>> results(kThreads);
  std::atomic<bool> go{false};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      ShaderInstance ownInstance = instance;
      ShaderAccess access = host.makeAccess();
      while (!go.load()) std::this_thread::yield();
      for (int e = 0; e < kEvaluationsPerThread; ++e) {
        tCastDirections.clear();
        evaluateSurface(&ownInstance, &access);
        results[t].push_back({tCastDirections, access.replaceColor});
      }
    });
  }
  go.store(true);
  for (std::thread& thread : threads) thread.join();

  constexpr int kEvaluations = kThreads * kEvaluationsPerThread;
  ASSERT_EQ(randomDrawsSoFar() - first, kEvaluations * kDrawsPerEvaluation);

  // What single-threaded shading would have cast, block after block of the sequence.
  const std::vector<int> draws = referenceDraws(first + kEvaluations * kDrawsPerEvaluation);
  const Vec3 sample{0, 0, 0};
  std::vector<RayList> expected;
  for (int block = 0; block < kEvaluations; ++block) {
    RayList rays;
    for (const ReferenceRay& ray : referenceRays(draws, first + block * kDrawsPerEvaluation, kCellsPerEdge, 2.0, sample,
                                                 scene.lightPosition, Vec3{0, 0, -1})) {
      rays.push_back({ray.direction.x, ray.direction.y, ray.direction.z});
    }
    expected.push_back(rays);
  }

  std::vector<RayList> seen;
  for (const std::vector<Evaluation>& threadResults : results) {
    for (const Evaluation& evaluation : threadResults) {
      seen.push_back(evaluation.rays);
      // A white light straight above a white diffuse sample: one sixteenth less per blocked ray.
      const auto blocked = std::count_if(evaluation.rays.begin(), evaluation.rays.end(),
                                         [](const std::array<double, 3>& ray) { return ray[1] > 0.0; });
      const double lit = 1.0 - 0.0625 * static_cast<double>(blocked);
      EXPECT_EQ(evaluation.colour.x, lit);
      EXPECT_EQ(evaluation.colour.y, lit);
      EXPECT_EQ(evaluation.colour.z, lit);
    }
  }
  std::sort(expected.begin(), expected.end());
  std::sort(seen.begin(), seen.end());
  EXPECT_TRUE(seen == expected) << "each evaluation cast the rays of its own block, and every block was used once";
}

}  // namespace
