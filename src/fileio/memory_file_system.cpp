#include "fileio/memory_file_system.h"

#include <algorithm>
#include <cstring>

namespace fileio {

class MemoryFileSystem::File final : public RandomAccessFile {
 public:
  File(MemoryFileSystem& owner, Entry& entry) : owner_(owner), entry_(entry) {
    entry_.held = true;
    ++owner_.open_files_;
  }
  ~File() override {
    entry_.held = false;
    --owner_.open_files_;
  }

  std::size_t read_at(std::uint64_t offset, void* buffer, std::size_t size) override {
    const std::string& data = entry_.contents;
    if (offset >= data.size()) return 0;
    const auto count = std::min(size, data.size() - static_cast<std::size_t>(offset));
    std::memcpy(buffer, data.data() + offset, count);
    owner_.bytes_read_ += count;
    return count;
  }
  std::optional<std::uint64_t> size() override { return entry_.contents.size(); }

 private:
  MemoryFileSystem& owner_;
  Entry& entry_;
};

void MemoryFileSystem::add(std::string path, std::string contents) {
  files_[std::move(path)].contents = std::move(contents);
}

void MemoryFileSystem::remove(std::string_view path) {
  const auto it = files_.find(path);
  if (it != files_.end()) files_.erase(it);
}

void MemoryFileSystem::set_held(std::string_view path, bool held) {
  const auto it = files_.find(path);
  if (it != files_.end()) it->second.held = held;
}

const std::string* MemoryFileSystem::contents(std::string_view path) const {
  const auto it = files_.find(path);
  return it == files_.end() ? nullptr : &it->second.contents;
}

std::unique_ptr<RandomAccessFile> MemoryFileSystem::open_exclusive_read(std::string_view path) {
  ++opens_;
  const auto it = files_.find(path);
  if (it == files_.end() || it->second.held) return nullptr;
  return std::make_unique<File>(*this, it->second);
}

std::optional<std::string> MemoryFileSystem::read_whole_file(std::string_view path) {
  ++whole_file_reads_;
  const auto it = files_.find(path);
  if (it == files_.end() || it->second.held) return std::nullopt;
  return it->second.contents;
}

bool MemoryFileSystem::replace_file(std::string_view path, std::string_view contents) {
  if (fail_writes_) return false;
  const auto it = files_.find(path);
  if (it != files_.end() && it->second.held) return false;
  files_[std::string(path)].contents = std::string(contents);
  return true;
}

}  // namespace fileio
