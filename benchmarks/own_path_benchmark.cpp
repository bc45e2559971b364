// The cost of the own path: one evaluateSurface with one point light whose ray-traced shadows the
// module samples itself, against a host that answers every shadow ray at once. "per_shadow_ray" is
// the whole evaluation's time divided by its sample × sample rays.
#include <benchmark/benchmark.h>

#include "shading/evaluate_surface.h"
#include "tests/quiet_host.h"

namespace {

// Nearly free, but not foldable: rays that climb are blocked halfway to the light.
double blockClimbingRays(const Vec3*, const Vec3* direction) { return direction->y > 0.0 ? 5.0 : -1.0; }

void evaluateWithOneOwnPathLight(benchmark::State& state) {
  QuietScene scene;
  scene.castDistance = blockClimbingRays;
  QuietHost host(scene);
  const int sample = static_cast<int>(state.range(0));
  ShaderInstance instance = QuietHost::makeInstance(sample, 1.0);
  ShaderAccess access = host.makeAccess();
  for (auto _ : state) {
    evaluateSurface(&instance, &access);
    benchmark::DoNotOptimize(access.replaceColor);
  }
  const double raysPerEvaluation = static_cast<double>(sample) * sample;
  state.counters["per_shadow_ray"] = benchmark::Counter(static_cast<double>(state.iterations()) * raysPerEvaluation,
                                                        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(evaluateWithOneOwnPathLight)->Arg(1)->Arg(6)->Arg(16);

}  // namespace
