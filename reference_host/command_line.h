// The command line of kavelmor-host, read with CLI11.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "reference_host/scene.h"

struct HostOptions {
  std::string scenePath;  // empty: the built-in default scene
  std::string outputPath = "kavelmor.png";
  std::string modulePath;
  std::optional<int> width, height;
  int threads = 0;  // 0: one per core
  bool compare = false;
  bool progress = false;
  bool printSettings = false;
  bool printScene = false;
  std::vector<std::string> surfaces;  // surfaces the overrides apply to; empty: every one with the shader
  ShaderSettings overrides;
};

// Reads argv into `options`. Returns an exit code when the program should stop at once (help was
// asked for: 0; a bad option: non-zero, after CLI11 has printed why), or nothing to go on.
std::optional<int> readCommandLine(int argc, char** argv, HostOptions& options);
