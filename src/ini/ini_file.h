#pragma once

// Our INI object: reads the whole file once, keeps every section, key, comment and blank line
// in order, and writes the whole file back at once.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fileio/file_system.h"

namespace ini {

// Integers as the class library reads them: leading blanks, an optional sign, then decimal
// digits, or hexadecimal digits after "0x", "0X" or "$". nullopt for anything else.
std::optional<std::int32_t> parse_integer(std::string_view text);

class IniFile {
 public:
  IniFile();
  ~IniFile();
  IniFile(IniFile&&) noexcept;
  IniFile& operator=(IniFile&&) noexcept;

  static IniFile parse(std::string_view contents);
  // A missing or unreadable file reads as empty.
  static IniFile load(fileio::FileSystem& files, std::string_view path);

  // Section and key names match without regard to ASCII letter case (Shift-JIS aware).
  std::optional<std::string> find(std::string_view section, std::string_view key) const;
  std::string read_string(std::string_view section, std::string_view key,
                          std::string_view default_value) const;
  std::int32_t read_integer(std::string_view section, std::string_view key,
                            std::int32_t default_value) const;
  // The key names of `section` in file order, each once, spelled as where it counts (first).
  std::vector<std::string> keys(std::string_view section) const;

  void write_string(std::string_view section, std::string_view key, std::string_view value);
  void delete_key(std::string_view section, std::string_view key);

  // The whole file, lines ending in CR LF.
  std::string serialize() const;
  // Replaces the file atomically; false when it cannot be written (the old file stays whole).
  bool save(fileio::FileSystem& files, std::string_view path) const;

 private:
  struct Data;
  std::unique_ptr<Data> data_;
};

}  // namespace ini
