#pragma once

#include <map>

#include "fileio/file_system.h"

namespace fileio {

// Files held in memory, for tests and benchmarks. Counts opens and whole-file reads, and can
// refuse to open a file as if another process held it.
class MemoryFileSystem final : public FileSystem {
 public:
  void add(std::string path, std::string contents);
  void remove(std::string_view path);
  void set_held(std::string_view path, bool held);
  void set_fail_writes(bool fail) { fail_writes_ = fail; }
  const std::string* contents(std::string_view path) const;

  int opens() const { return opens_; }
  int open_files() const { return open_files_; }
  int whole_file_reads() const { return whole_file_reads_; }
  std::uint64_t bytes_read() const { return bytes_read_; }

  std::unique_ptr<RandomAccessFile> open_exclusive_read(std::string_view path) override;
  std::optional<std::string> read_whole_file(std::string_view path) override;
  bool replace_file(std::string_view path, std::string_view contents) override;

 private:
  class File;
  struct Entry {
    std::string contents;
    bool held = false;
  };
  std::map<std::string, Entry, std::less<>> files_;
  bool fail_writes_ = false;
  int opens_ = 0;
  int open_files_ = 0;
  int whole_file_reads_ = 0;
  std::uint64_t bytes_read_ = 0;
};

}  // namespace fileio
