#include "reference_host/tests/host_test_support.h"

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "reference_host/host_vec.h"
#include "reference_host/ray_shading.h"

Scene sceneFromText(const std::string& text, const std::string& directory) {
  return parseScene(text, "test scene", directory);
}

Vec3 shadePoint(const RenderSession& session, int object, const Vec3& position, const Vec3& normal,
                const Vec3& viewOrigin, bool useModule) {
  const ShadingContext context{&session.world(), useModule ? &session.shader() : nullptr, 0};
  const ShadingScope scope(context);
  RayHit hit;
  hit.distance = length(position - viewOrigin);
  hit.position = position;
  hit.normal = normal;
  hit.object = object;
  return shadeHit(context, hit, viewOrigin, unit(position - viewOrigin));
}

Vec3 traceFrom(const RenderSession& session, const Vec3& origin, const Vec3& direction) {
  const ShadingScope scope(ShadingContext{&session.world(), &session.shader(), 0});
  Vec3 colour;
  traceAndShade(origin, direction, colour);
  return colour;
}

TemporaryDirectory::TemporaryDirectory() {
  std::string pattern = (std::filesystem::temp_directory_path() / "kavelmor-host-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot make a temporary directory");
  path_ = pattern;
}

TemporaryDirectory::~TemporaryDirectory() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string TemporaryDirectory::write(const std::string& name, const std::string& contents) const {
  const std::string file = path_ + "/" + name;
  std::ofstream(file, std::ios::binary) << contents;
  return file;
}

ProgramResult runHostProgram(const std::string& arguments) {
  ProgramResult result;
  const std::string command = std::string(KAVELMOR_HOST_PROGRAM) + " " + arguments + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return result;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) result.output.append(buffer, n);
  const int status = pclose(pipe);
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return result;
}
