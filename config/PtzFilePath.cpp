#include "config/PtzFilePath.h"

#include <filesystem>
#include <system_error>

namespace {

std::string PtzPath(std::string_view file) {
  std::error_code ec;
  const std::string cwd = std::filesystem::current_path(ec).string();
  const char separator = static_cast<char>(std::filesystem::path::preferred_separator);
  std::string path = cwd;
  path += separator;
  path += kPtzFolder;
  path += separator;
  path += file;
  return path;
}

}  // namespace

std::string PtzFilePathForType(int type) {
  if (type < 0 || type >= static_cast<int>(kPtzTypeFiles.size())) return {};
  return PtzPath(kPtzTypeFiles[static_cast<std::size_t>(type)]);
}

std::string PtzUserCommandPath() { return PtzPath(kPtzUserCommandFile); }
