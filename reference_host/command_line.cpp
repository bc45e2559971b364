#include "reference_host/command_line.h"

#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cmath>
#include <cstdlib>

#ifndef KAVELMOR_DEFAULT_MODULE
#define KAVELMOR_DEFAULT_MODULE "QX_Kavelmor.p"
#endif

std::optional<int> readCommandLine(int argc, char** argv, HostOptions& options) {
  CLI::App app{
      "kavelmor-host: loads the module file QX_Kavelmor.p as its host does and renders a scene through it.\n"
      "Without a scene file it renders the built-in default scene."};
  options.modulePath = KAVELMOR_DEFAULT_MODULE;
  options.progress = isatty(STDERR_FILENO) != 0;

  app.add_option("scene", options.scenePath, "Scene file (JSON); default: the built-in scene")
      ->check(CLI::ExistingFile);
  app.add_option("-o,--output", options.outputPath, "PNG file to write")->capture_default_str();
  app.add_option("-m,--module", options.modulePath, "The module file to load")->capture_default_str();
  app.add_option("--width", options.width, "Picture width in pixels (default: the scene's)")
      ->check(CLI::Range(1, 16384));
  app.add_option("--height", options.height, "Picture height in pixels (default: the scene's)")
      ->check(CLI::Range(1, 16384));
  app.add_option("-t,--threads", options.threads, "Render threads (default: one per core)")->check(CLI::Range(1, 1024));
  app.add_flag("--compare", options.compare, "Render the host's own shading to the right of the module's");
  app.add_flag("--progress,!--no-progress", options.progress,
               "Progress bar on standard error (default: when it is a terminal)");
  app.add_flag("--print-settings", options.printSettings,
               "Print each shader surface's saved settings block (hex, from the module's save routine)");
  app.add_flag("--print-scene", options.printScene, "Print the scene file text of the built-in scene and stop");

  app.add_option("--surface", options.surfaces,
                 "Surface the settings below apply to (repeatable; default: every surface with the shader)");
  app.add_option("--sample", options.overrides.sample, "Shadow rays per edge of the grid")
      ->check(CLI::Range(-1000000, 1000000));
  app.add_option("--l-size", options.overrides.lSize, "Edge length of the square area light (world units)")
      ->check([](const std::string& text) {
        char* end = nullptr;
        const double value = std::strtod(text.c_str(), &end);
        return end != text.c_str() && *end == '\0' && std::isfinite(value) && std::fabs(value) <= kLargestSceneNumber
                   ? std::string()
                   : "expected a finite number from -1e12 to 1e12";
      });
  app.add_option("--use-prefix", options.overrides.usePrefix, "Light-name prefix filter: 1 on, 0 off")
      ->check(CLI::Range(0, 1));
  app.add_option("--prefix", options.overrides.prefix, "Light-name prefix (up to 16 characters)")
      ->check([](const std::string& text) { return text.size() <= 16 ? std::string() : "at most 16 characters"; });
  app.add_option("--settings-hex", options.overrides.savedBlockHex,
                 "Saved settings block (33 bytes as 66 hex digits), loaded through the module's load routine");

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    return app.exit(error);
  }
  return std::nullopt;
}
