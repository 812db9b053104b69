#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
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

  std::size_t read_at(std::uint64_t offset, void* buffer, std::size_t size) override {
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

  // Known from the open: the readers ask for it more than once.
  std::optional<std::uint64_t> size() override { return size_; }

 private:
  int fd_;
  std::uint64_t size_;
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
