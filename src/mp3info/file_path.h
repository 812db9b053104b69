#pragma once

#include <string>
#include <string_view>

namespace mp3info {

// Folder + "\" + file name, without doubling a "\" that already ends the folder. A trailing
// 0x5C that is the second byte of a double-byte Shift-JIS character is not a "\".
std::string BuildFilePath(std::string_view folder, std::string_view file_name);

}  // namespace mp3info
