#include "mp3info/file_path.h"

#include "text/shift_jis.h"

namespace mp3info {

std::string BuildFilePath(std::string_view folder, std::string_view file_name) {
  std::string path(folder);
  if (!text::ends_with_single_byte_backslash(path)) path += '\\';
  path += file_name;
  return path;
}

}  // namespace mp3info
