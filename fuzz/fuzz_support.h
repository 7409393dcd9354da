// Shared pieces of the fuzz targets: a scratch file per process for the
// readers that take a path, and a small archive for the loads that check
// against draws.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "acquire/demo_draws.h"
#include "core/game.h"

namespace vexa::fuzz {

inline std::string_view Bytes(const uint8_t* data, size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// A folder of this process, on tmpfs when there is one.
inline const std::filesystem::path& ScratchDir() {
  static const std::filesystem::path dir = [] {
    std::filesystem::path base = std::filesystem::exists("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path();
    std::filesystem::path d = base / ("vexa-fuzz-" + std::to_string(::getpid()));
    std::filesystem::create_directories(d);
    return d;
  }();
  return dir;
}

inline std::filesystem::path WriteScratch(const std::string& name, std::string_view bytes) {
  const std::filesystem::path file = ScratchDir() / name;
  std::ofstream(file, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return file;
}

inline const TDrawsArray& SomeDraws() {
  static const TDrawsArray draws = GenerateDemoDraws(60, 7);
  return draws;
}

}  // namespace vexa::fuzz
