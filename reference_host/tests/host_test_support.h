// Helpers for the reference host's end-to-end tests: scenes from JSON text, shading one surface
// point through the module file, running the kavelmor-host program.
#pragma once

#include <string>

#include "reference_host/render_session.h"
#include "reference_host/scene_json.h"

// The module file of this build.
inline const char* moduleFile() { return KAVELMOR_MODULE_FILE; }

// A scene from JSON text; relative file names start at `directory`.
Scene sceneFromText(const std::string& text, const std::string& directory = ".");

// The colour of `position` on `object`, seen from `viewOrigin`, with the given outward `normal`:
// shaded by the module (useModule) or by the host's own shading.
Vec3 shadePoint(const RenderSession& session, int object, const Vec3& position, const Vec3& normal,
                const Vec3& viewOrigin, bool useModule = true);

// The colour traced from `origin` along a unit direction, as a camera ray would see it.
Vec3 traceFrom(const RenderSession& session, const Vec3& origin, const Vec3& direction);

// A fresh directory under the system's temporary directory, removed with everything in it.
class TemporaryDirectory {
 public:
  TemporaryDirectory();
  ~TemporaryDirectory();
  const std::string& path() const { return path_; }
  std::string write(const std::string& name, const std::string& contents) const;  // returns the full path

 private:
  std::string path_;
};

struct ProgramResult {
  int exitCode = -1;
  std::string output;  // standard output and standard error together
};
// Runs kavelmor-host with `arguments` (already quoted for the shell).
ProgramResult runHostProgram(const std::string& arguments);
