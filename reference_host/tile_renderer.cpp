#include "reference_host/tile_renderer.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

#include "reference_host/camera_rays.h"
#include "reference_host/host_world.h"
#include "reference_host/ray_shading.h"

namespace {

struct Tile {
  int x0, y0, x1, y1;
};

std::vector<Tile> cutIntoTiles(int width, int height, int size) {
  std::vector<Tile> tiles;
  for (int y = 0; y < height; y += size) {
    for (int x = 0; x < width; x += size)
      tiles.push_back(Tile{x, y, std::min(width, x + size), std::min(height, y + size)});
  }
  return tiles;
}

void drawProgress(std::size_t done, std::size_t total) {
  constexpr int kBarWidth = 40;
  const int filled = static_cast<int>(kBarWidth * done / total);
  std::fprintf(stderr, "\r[%.*s%*s] %3d%%", filled, "########################################", kBarWidth - filled, "",
               static_cast<int>(100 * done / total));
  std::fflush(stderr);
}

}  // namespace

Picture renderPicture(const HostWorld& world, const ShaderBinding* shader, const RenderOptions& options) {
  Picture picture;
  picture.width = options.width;
  picture.height = options.height;
  picture.pixels.assign(static_cast<std::size_t>(options.width) * options.height, Vec3{});
  const CameraRays camera(world.scene().camera, options.width, options.height);
  const std::vector<Tile> tiles = cutIntoTiles(options.width, options.height, std::max(1, options.tileSize));
  std::atomic<std::size_t> nextTile{0};
  std::atomic<std::size_t> tilesDone{0};

  auto work = [&] {
    const ShadingScope scope(ShadingContext{&world, shader, 0});
    for (std::size_t t = nextTile++; t < tiles.size(); t = nextTile++) {
      const Tile& tile = tiles[t];
      for (int y = tile.y0; y < tile.y1; ++y) {
        for (int x = tile.x0; x < tile.x1; ++x) {
          Vec3 colour;
          traceAndShade(camera.origin(), camera.direction(x + 0.5, y + 0.5), colour);
          picture.at(x, y) = colour;
        }
      }
      ++tilesDone;
    }
  };

  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  const int threads = std::max(1, std::min<int>(options.threads > 0 ? options.threads : static_cast<int>(cores),
                                                static_cast<int>(tiles.size())));
  std::vector<std::thread> workers;
  for (int i = 0; i < threads; ++i) workers.emplace_back(work);
  if (options.progress) {
    while (tilesDone.load() < tiles.size()) {
      drawProgress(tilesDone.load(), tiles.size());
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    drawProgress(tiles.size(), tiles.size());
    std::fputc('\n', stderr);
  }
  for (std::thread& worker : workers) worker.join();
  return picture;
}
