#pragma once

// The one seam between the core and the operating system's files. The core reads MP3 files
// and the settings file only through it, so tests can count and fail its calls.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace fileio {

class RandomAccessFile {
 public:
  virtual ~RandomAccessFile() = default;
  // Reads up to `size` bytes at `offset`; returns how many were read. A read past the end or
  // a failed read gives fewer bytes (possibly 0), never an exception.
  virtual std::size_t read_at(std::uint64_t offset, void* buffer, std::size_t size) = 0;
  // nullopt when the size cannot be had.
  virtual std::optional<std::uint64_t> size() = 0;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // Opens an existing file for reading and admits no other opener while it is open
  // (Windows share mode 0). `path` is Shift-JIS. nullptr when it cannot be opened.
  virtual std::unique_ptr<RandomAccessFile> open_exclusive_read(std::string_view path) = 0;
  // The whole file; nullopt when it is missing or cannot be read.
  virtual std::optional<std::string> read_whole_file(std::string_view path) = 0;
  // Writes `contents` to a temporary file beside `path`, flushes it and then puts it in place
  // of `path`, so the old file stays whole when anything fails. False on failure.
  virtual bool replace_file(std::string_view path, std::string_view contents) = 0;
};

// The platform's own: Win32 handles on Windows, POSIX descriptors elsewhere.
FileSystem& system_file_system();

}  // namespace fileio
