// The INI layer and settings loading on arbitrary files: loading never fails, and writing the
// file back and reading it again gives the same settings.

#include <cstdint>
#include <string>

#include "fileio/memory_file_system.h"
#include "ini/ini_file.h"
#include "settings/load_settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fileio::MemoryFileSystem files;
  files.add("s.ini", std::string(reinterpret_cast<const char*>(data), size));
  settings::TMp3Settings first;
  first.IniPath = "s.ini";
  first.IniSection = "mac_Tunlex";
  settings::LoadSettings(first, files);

  // A file written back by the INI layer holds the same settings.
  const auto file = ini::IniFile::load(files, "s.ini");
  if (!file.save(files, "t.ini")) __builtin_trap();
  settings::TMp3Settings second;
  second.IniPath = "t.ini";
  second.IniSection = "mac_Tunlex";
  settings::LoadSettings(second, files);
  second.IniPath = first.IniPath;
  if (!(first == second)) __builtin_trap();
  return 0;
}
