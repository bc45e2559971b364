#include "reference_host/module_file.h"

#include <dlfcn.h>
#include <elf.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <vector>

namespace {

constexpr const char* kServerName = "QX_Kavelmor";
constexpr int kMaxServers = 64;  // a longer list has lost its terminating entry

std::string hex(std::uint32_t word) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", word);
  return text;
}

// Why the file cannot be a whole shared object, or empty when it may be one. dlopen maps a file's
// segments as its headers describe them; a truncated file would then fail later with a bus error
// when a part beyond its end is touched, so every part the headers name must lie inside the file.
template <typename Header, typename ProgramHeader>
std::string elfProblem(const std::vector<unsigned char>& bytes, std::uint64_t fileSize) {
  if (bytes.size() < sizeof(Header)) return "too short for an ELF header";
  Header header;
  std::memcpy(&header, bytes.data(), sizeof header);
  if (header.e_type != ET_DYN) return "not a shared object";
  if (header.e_phentsize != sizeof(ProgramHeader) || header.e_phnum == 0) return "no program headers";
  const std::uint64_t tableEnd =
      static_cast<std::uint64_t>(header.e_phoff) + static_cast<std::uint64_t>(header.e_phnum) * sizeof(ProgramHeader);
  if (header.e_phoff > fileSize || tableEnd > bytes.size()) return "truncated: its program headers are cut off";
  if (static_cast<std::uint64_t>(header.e_shoff) + static_cast<std::uint64_t>(header.e_shnum) * header.e_shentsize >
      fileSize) {
    return "truncated: its section headers are cut off";
  }
  for (std::uint64_t i = 0; i < header.e_phnum; ++i) {
    ProgramHeader segment;
    std::memcpy(&segment, bytes.data() + header.e_phoff + i * sizeof segment, sizeof segment);
    if (static_cast<std::uint64_t>(segment.p_offset) + segment.p_filesz > fileSize)
      return "truncated: a segment runs past the end of the file";
  }
  return "";
}

std::string loadProblem(const std::string& path, std::uint64_t fileSize) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return "it cannot be opened";
  // The program headers follow the ELF header in any file a linker writes; 64 KiB holds them.
  std::vector<unsigned char> bytes(static_cast<std::size_t>(std::min<std::uint64_t>(fileSize, 65536)));
  file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (bytes.size() < EI_NIDENT || std::memcmp(bytes.data(), ELFMAG, SELFMAG) != 0) return "not an ELF file";
  if (bytes[EI_CLASS] == ELFCLASS64) return elfProblem<Elf64_Ehdr, Elf64_Phdr>(bytes, fileSize);
  if (bytes[EI_CLASS] == ELFCLASS32) return elfProblem<Elf32_Ehdr, Elf32_Phdr>(bytes, fileSize);
  return "an ELF file of unknown class";
}

}  // namespace

ModuleFile::ModuleFile(const std::string& path) : path_(path) {
  struct stat status {};
  if (stat(path.c_str(), &status) != 0) fail("no such module file");
  if (!S_ISREG(status.st_mode)) fail("not a module file (not a regular file)");
  const std::string problem = loadProblem(path, static_cast<std::uint64_t>(status.st_size));
  if (!problem.empty()) fail("not a module file (" + problem + ")");
  library_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library_ == nullptr) {
    const char* reason = dlerror();
    fail(std::string("not a module file (it cannot be loaded: ") + (reason ? reason : "unknown reason") + ")");
  }
  descriptor_ = static_cast<const ModuleDescriptor*>(dlsym(library_, "_mod_descrip"));
  if (descriptor_ == nullptr) fail("not a module file (it exports no _mod_descrip)");
  checkDescriptor();
  if (descriptor_->startup() == 0) fail("the module's start-up routine refused to start");
  findServers();
}

ModuleFile::~ModuleFile() {
  if (library_ == nullptr) return;
  if (descriptor_ != nullptr && descriptor_->shutdown != nullptr) descriptor_->shutdown(nullptr);
  dlclose(library_);
}

void ModuleFile::fail(const std::string& message) const {
  if (library_ != nullptr) dlclose(library_);
  throw ModuleError(path_ + ": " + message);
}

void ModuleFile::checkDescriptor() const {
  const ModuleDescriptor& d = *descriptor_;
  if (d.magic != kDescriptorMagic)
    fail("bad module descriptor: word 0 is " + hex(d.magic) + ", expected " + hex(kDescriptorMagic));
  if (d.count != kDescriptorCount)
    fail("bad module descriptor: word 1 is " + hex(d.count) + ", expected " + hex(kDescriptorCount));
  if (d.version != kDescriptorVersion) {
    fail("bad module descriptor: word 2 is " + hex(d.version) + ", expected " + hex(kDescriptorVersion));
  }
  if (d.startup == nullptr) fail("bad module descriptor: no start-up routine");
  if (d.shutdown == nullptr) fail("bad module descriptor: no shut-down routine");
  if (d.servers == nullptr) fail("bad module descriptor: no server list");
}

void ModuleFile::findServers() {
  for (int i = 0; i < kMaxServers; ++i) {
    const ServerEntry& entry = descriptor_->servers[i];
    if (entry.serverClass == nullptr && entry.serverName == nullptr && entry.activate == nullptr) break;
    if (i + 1 == kMaxServers) fail("bad module descriptor: the server list has no end");
    if (entry.serverClass == nullptr || entry.serverName == nullptr || entry.activate == nullptr) continue;
    if (std::strcmp(entry.serverName, kServerName) != 0) continue;
    if (std::strcmp(entry.serverClass, "ShaderHandler") == 0) shaderServer_ = entry.activate;
    if (std::strcmp(entry.serverClass, "ShaderInterface") == 0) interfaceServer_ = entry.activate;
  }
  if (shaderServer_ == nullptr) fail("the module lists no \"ShaderHandler\" server named \"QX_Kavelmor\"");
  if (interfaceServer_ == nullptr) fail("the module lists no \"ShaderInterface\" server named \"QX_Kavelmor\"");
}

void ModuleFile::activateShader(GlobalLookup lookup) {
  instanceRoutines_ = InstanceRoutines{};
  itemRoutines_ = ItemRoutines{};
  renderRoutines_ = RenderRoutines{};
  handler_ = HandlerRecord{&instanceRoutines_, &itemRoutines_, &renderRoutines_, nullptr, nullptr};
  const int result = shaderServer_(kServerVersion, lookup, &handler_);
  if (result != 0)
    throw ModuleError(path_ + ": the shading server refused activation (result " + std::to_string(result) + ")");
  const InstanceRoutines& r = instanceRoutines_;
  if (r.create == nullptr || r.destroy == nullptr || r.copy == nullptr || r.load == nullptr || r.save == nullptr ||
      r.describe == nullptr || renderRoutines_.init == nullptr || renderRoutines_.newTime == nullptr ||
      handler_.evaluate == nullptr) {
    throw ModuleError(path_ + ": the shading server's activation left a routine out");
  }
}

PanelHandle ModuleFile::activateInterface(GlobalLookup lookup, ShaderInstance* instance) {
  InterfaceRecord record{instance, nullptr, nullptr, nullptr};
  const int result = interfaceServer_(kServerVersion, lookup, &record);
  if (result != 0)
    throw ModuleError(path_ + ": the panel server refused activation (result " + std::to_string(result) + ")");
  return record.panel;
}
