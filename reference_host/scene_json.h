// Scene files: JSON text to a checked Scene. Every complaint names where in the file it is wrong,
// as a line and column for a syntax error and as a JSON pointer ("/lights/2/kind") for a bad value.
#pragma once

#include <stdexcept>
#include <string>

#include "reference_host/scene.h"

class SceneError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// `sourceName` prefixes every message; relative file names in the scene start at `directory`.
Scene parseScene(const std::string& text, const std::string& sourceName, const std::string& directory);
Scene loadSceneFile(const std::string& path);
