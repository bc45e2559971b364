// Rendering on several threads: the tiles cover the picture exactly, and the module's evaluation
// runs on all of them at once (this test also runs under ThreadSanitizer).
#include <gtest/gtest.h>

#include "reference_host/default_scene.h"
#include "reference_host/host_vec.h"
#include "reference_host/tests/host_test_support.h"
#include "reference_host/tile_renderer.h"

namespace {

RenderOptions smallRender(int threads) {
  RenderOptions options;
  options.width = 40;
  options.height = 30;
  options.tileSize = 8;  // more tiles than threads
  options.threads = threads;
  return options;
}

TEST(ThreadedRender, HostShadingIsTheSameOnOneThreadAndOnFour) {
  const RenderSession session(moduleFile(), sceneFromText(defaultSceneText()));
  const Picture one = renderPicture(session.world(), nullptr, smallRender(1));
  const Picture four = renderPicture(session.world(), nullptr, smallRender(4));
  ASSERT_EQ(one.pixels.size(), four.pixels.size());
  for (std::size_t i = 0; i < one.pixels.size(); ++i) {
    EXPECT_EQ(one.pixels[i].x, four.pixels[i].x) << "pixel " << i;
    EXPECT_EQ(one.pixels[i].y, four.pixels[i].y) << "pixel " << i;
    EXPECT_EQ(one.pixels[i].z, four.pixels[i].z) << "pixel " << i;
  }
}

TEST(ThreadedRender, ModuleShadesEveryPixelOnFourThreads) {
  const RenderSession session(moduleFile(), sceneFromText(defaultSceneText()));
  const Picture picture = renderPicture(session.world(), &session.shader(), smallRender(4));
  int lit = 0;
  for (const Vec3& pixel : picture.pixels) {
    ASSERT_TRUE(isFinite(pixel));
    if (maxComponent(pixel) > 0.0) ++lit;
  }
  EXPECT_EQ(lit, static_cast<int>(picture.pixels.size()));  // sky, floor and objects: nothing is black
}

}  // namespace
