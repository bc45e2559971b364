#include "reference_host/host_program.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <thread>

#include "reference_host/command_line.h"
#include "reference_host/default_scene.h"
#include "reference_host/picture_output.h"
#include "reference_host/ray_shading.h"
#include "reference_host/render_session.h"
#include "reference_host/scene_json.h"
#include "reference_host/settings_block.h"

namespace {

// The command line's settings go to the surfaces it names, or to every surface with the shader.
void applyOverrides(const HostOptions& options, Scene& scene) {
  const ShaderSettings& wanted = options.overrides;
  for (const std::string& name : options.surfaces) {
    bool found = false;
    for (const SceneSurface& surface : scene.surfaces) found = found || surface.name == name;
    if (!found) throw std::runtime_error("--surface: the scene has no surface named \"" + name + "\"");
  }
  for (SceneSurface& surface : scene.surfaces) {
    const bool named =
        std::find(options.surfaces.begin(), options.surfaces.end(), surface.name) != options.surfaces.end();
    if (!(options.surfaces.empty() ? surface.carriesShader : named)) continue;
    if (!surface.carriesShader)
      throw std::runtime_error("--surface: \"" + surface.name + "\" does not carry the shader");
    ShaderSettings& settings = surface.shader;
    if (wanted.savedBlockHex) {
      // A saved block replaces all four settings; fields named alongside it still apply after it.
      settings = ShaderSettings{};
      settings.savedBlockHex = wanted.savedBlockHex;
    }
    if (wanted.sample) settings.sample = wanted.sample;
    if (wanted.lSize) settings.lSize = wanted.lSize;
    if (wanted.usePrefix) settings.usePrefix = wanted.usePrefix;
    if (wanted.prefix) settings.prefix = wanted.prefix;
  }
}

// The most pixels a picture may have (8192 × 8192): each takes 24 bytes while rendering, and
// twice that with --compare.
constexpr long long kMostPixels = 1LL << 26;

// Whether the picture can be written where asked, found out before rendering rather than after.
void checkOutputPath(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code error;
  if (fs::is_directory(path, error)) throw std::runtime_error(path + ": cannot write the picture: it is a directory");
  const fs::path parent = fs::path(path).parent_path().empty() ? fs::path(".") : fs::path(path).parent_path();
  if (!fs::is_directory(parent, error))
    throw std::runtime_error(path + ": cannot write the picture: no directory " + parent.string());
  if (access(parent.c_str(), W_OK) != 0 || (fs::exists(path, error) && access(path.c_str(), W_OK) != 0))
    throw std::runtime_error(path + ": cannot write the picture: not allowed to write there");
}

Scene loadScene(const HostOptions& options) {
  Scene scene = options.scenePath.empty() ? parseScene(defaultSceneText(), "built-in scene", ".")
                                          : loadSceneFile(options.scenePath);
  applyOverrides(options, scene);
  return scene;
}

void printSettings(const RenderSession& session) {
  const Scene& scene = session.world().scene();
  for (std::size_t i = 0; i < scene.surfaces.size(); ++i) {
    if (session.instance(static_cast<int>(i)) == nullptr) continue;
    std::printf("%s: %s  (%s)\n", scene.surfaces[i].name.c_str(),
                toHex(session.savedSettings(static_cast<int>(i))).c_str(),
                session.description(static_cast<int>(i)).c_str());
  }
}

int render(const HostOptions& options) {
  Scene scene = loadScene(options);
  RenderOptions renderOptions;
  renderOptions.width = options.width.value_or(scene.width);
  renderOptions.height = options.height.value_or(scene.height);
  renderOptions.threads = options.threads;
  renderOptions.progress = options.progress;
  const long long pixels = static_cast<long long>(renderOptions.width) * renderOptions.height;
  if (pixels > kMostPixels) {
    throw std::runtime_error("a picture of " + std::to_string(renderOptions.width) + " × " +
                             std::to_string(renderOptions.height) + " has " + std::to_string(pixels) +
                             " pixels; the host renders at most " + std::to_string(kMostPixels) + " (8192 × 8192)");
  }
  checkOutputPath(options.outputPath);
  const int threads =
      options.threads > 0 ? options.threads : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));

  const RenderSession session(options.modulePath, std::move(scene));
  if (options.printSettings) printSettings(session);

  const auto start = std::chrono::steady_clock::now();
  Picture picture = renderPicture(session.world(), &session.shader(), renderOptions);
  if (options.compare) picture = sideBySide(picture, renderPicture(session.world(), nullptr, renderOptions));
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

  writePng(options.outputPath, picture);
  const std::string where = std::filesystem::absolute(options.outputPath).lexically_normal().string();
  std::printf("Wrote %s (%dx%d%s) in %.2f s on %d thread%s\n", where.c_str(), picture.width, picture.height,
              options.compare ? ", left: the module's shading, right: the host's own" : "", seconds, threads,
              threads == 1 ? "" : "s");
  if (nonFiniteSamples() > 0) {
    std::fprintf(stderr, "kavelmor-host: warning: %ld samples came back from the module not finite (shown black)\n",
                 nonFiniteSamples());
  }
  if (cameraRaysOutOfNestedRays() > 0) {
    std::fprintf(stderr,
                 "kavelmor-host: warning: %ld camera rays led to more than %ld nested rays; the rays beyond "
                 "those saw the backdrop\n",
                 cameraRaysOutOfNestedRays(), kMostNestedRaysPerCameraRay);
  }
  return 0;
}

}  // namespace

int runHost(int argc, char** argv) {
  HostOptions options;
  if (const auto exitCode = readCommandLine(argc, argv, options)) return *exitCode;
  if (options.printScene) {
    std::fputs(defaultSceneText(), stdout);
    std::fputc('\n', stdout);
    return 0;
  }
  try {
    return render(options);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "kavelmor-host: error: %s\n", error.what());
    return 1;
  }
}
