#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>

#include "fileio/file_system.h"

namespace fileio {
namespace {

class PosixFile final : public RandomAccessFile {
 public:
  PosixFile(int fd, std::uint64_t size) : fd_(fd), size_(size) {}
  ~PosixFile() override { ::close(fd_); }
  PosixFile(const PosixFile&) = delete;
  PosixFile& operator=(const PosixFile&) = delete;

  // The readers ask for several small pieces of a file's first page (the tag header, the frame
  // header after a small tag): the page is read once and they are served from it.
  std::size_t read_at(std::uint64_t offset, void* buffer, std::size_t size) override {
    if (offset < kHeadSize && size <= kHeadSize - offset) {
      if (!head_read_) {
        head_length_ = read_from_file(
            0, head_, static_cast<std::size_t>(std::min<std::uint64_t>(kHeadSize, size_)));
        head_read_ = true;
      }
      if (offset >= head_length_) return 0;
      const std::size_t n = std::min(size, static_cast<std::size_t>(head_length_ - offset));
      std::memcpy(buffer, head_ + offset, n);
      return n;
    }
    return read_from_file(offset, buffer, size);
  }

  // Known from the open: the readers ask for it more than once.
  std::optional<std::uint64_t> size() override { return size_; }

 private:
  static constexpr std::uint64_t kHeadSize = 4096;

  std::size_t read_from_file(std::uint64_t offset, void* buffer, std::size_t size) {
    std::size_t done = 0;
    auto* bytes = static_cast<char*>(buffer);
    while (done < size) {
      const ssize_t n = ::pread(fd_, bytes + done, size - done, static_cast<off_t>(offset + done));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      done += static_cast<std::size_t>(n);
    }
    return done;
  }

  int fd_;
  std::uint64_t size_;
  bool head_read_ = false;
  std::size_t head_length_ = 0;
  char head_[kHeadSize];
};

bool write_all(int fd, std::string_view contents) {
  std::size_t done = 0;
  while (done < contents.size()) {
    const ssize_t n = ::write(fd, contents.data() + done, contents.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// Paths arrive in the host's Windows form, folder + "\" + name: "\" separates here too.
std::string posix_path(std::string_view path) {
  std::string converted(path);
  for (char& c : converted) {
    if (c == '\\') c = '/';
  }
  return converted;
}

class PosixFileSystem final : public FileSystem {
 public:
  // POSIX has no share modes: the native tool opens read-only and relies on no one else.
  std::unique_ptr<RandomAccessFile> open_exclusive_read(std::string_view path) override {
    const int fd = ::open(posix_path(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
      ::close(fd);
      return nullptr;
    }
    // The readers take a few small pieces of a large file: read-ahead would fetch what is
    // never looked at, which a cold cache pays for.
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_RANDOM);
    return std::make_unique<PosixFile>(fd, static_cast<std::uint64_t>(st.st_size));
  }

  std::optional<std::string> read_whole_file(std::string_view path) override {
    auto file = open_exclusive_read(path);
    if (!file) return std::nullopt;
    const auto size = file->size();
    if (!size) return std::nullopt;
    std::string contents(static_cast<std::size_t>(*size), '\0');
    contents.resize(file->read_at(0, contents.data(), contents.size()));
    return contents;
  }

  bool replace_file(std::string_view path, std::string_view contents) override {
    const std::string target = posix_path(path);
    std::string temp = target + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) return false;
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0) ::fchmod(fd, st.st_mode & 07777);
    const bool written = write_all(fd, contents) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(temp.c_str(), target.c_str()) != 0) {
      ::unlink(temp.c_str());
      return false;
    }
    return true;
  }
};

}  // namespace

FileSystem& system_file_system() {
  static PosixFileSystem instance;
  return instance;
}

}  // namespace fileio
