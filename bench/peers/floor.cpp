// The floor: makes the file system calls our tunlex makes, with the same arguments, in the same
// order, and parses nothing. What no reader of these files can beat with the same calls.
//
//   floor PLAN
//
// PLAN is written by plan.py from an strace of tunlex -j 1 over the same files, so the floor
// follows tunlex whatever form it runs in. Mirrored: openat (flags and mode as traced, failed
// opens too), fstat/newfstatat/statx, pread64 and read (traced sizes and offsets), lseek, fcntl,
// close, getdents64, fadvise64, and write to standard output (traced sizes). Anything else
// tunlex calls in that stretch (brk, ioctl, futex, ...) is counted by plan.py and printed.
//
// tunlex --format tsv -j 1 over a folder, as strace showed it:
//   once:  openat(".", O_RDONLY|O_CLOEXEC|O_DIRECTORY); fcntl x2; getdents64(3, 32768) until it
//          returns 0; close(3)
//   per file:
//     openat(AT_FDCWD, "./t00002.mp3", O_RDONLY|O_CLOEXEC); newfstatat(3, "", AT_EMPTY_PATH)
//     fadvise64(3, 0, 0, POSIX_FADV_RANDOM)
//     pread64(3, min(size, 4096), 0)                     the first page, for the small reads
//     pread64(3, 128, size - 128)                        ID3v1
//     [pread64(3, min(body, 16384), ...)]                an ID3v2 tag beyond the first page
//     close(3)
//   write(1, 4096) as the answers fill the buffer, and the rest at exit.

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

enum Op : std::uint8_t {
  kOpen = 1,
  kFstat = 2,
  kFstatat = 3,
  kPread = 4,
  kRead = 5,
  kLseek = 6,
  kClose = 7,
  kGetdents = 8,
  kWrite = 9,
  kStatx = 10,
  kFadvise = 11,
  kFcntl = 12,
};

constexpr char kMagic[8] = {'T', 'L', 'X', 'F', 'L', 'O', 'O', 'R'};
constexpr int kCwd = -100;  // AT_FDCWD in the plan
constexpr int kSlots = 65536;

class Cursor {
 public:
  Cursor(const char* p, const char* end) : p_(p), end_(end) {}
  bool done() const { return p_ >= end_; }
  template <typename T>
  T get() {
    T v;
    if (end_ - p_ < static_cast<long>(sizeof v)) throw "truncated plan";
    std::memcpy(&v, p_, sizeof v);
    p_ += sizeof v;
    return v;
  }
  std::string text() {
    const auto n = get<std::uint16_t>();
    if (end_ - p_ < n) throw "truncated plan";
    std::string s(p_, n);
    p_ += n;
    return s;
  }

 private:
  const char* p_;
  const char* end_;
};

std::vector<char> read_plan(const char* path) {
  const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
  struct stat st {};
  if (fd < 0 || ::fstat(fd, &st) != 0) return {};
  std::vector<char> plan(static_cast<std::size_t>(st.st_size));
  std::size_t done = 0;
  while (done < plan.size()) {
    const ssize_t n = ::read(fd, plan.data() + done, plan.size() - done);
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  ::close(fd);
  plan.resize(done);
  return plan;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: floor PLAN\n");
    return 2;
  }
  const std::vector<char> plan = read_plan(argv[1]);
  if (plan.size() < sizeof kMagic + 4 || std::memcmp(plan.data(), kMagic, sizeof kMagic) != 0) {
    std::fprintf(stderr, "floor: '%s' is no plan\n", argv[1]);
    return 2;
  }
  Cursor in(plan.data() + sizeof kMagic, plan.data() + plan.size());
  const auto largest = in.get<std::uint32_t>();
  const auto buffer = std::make_unique<char[]>(largest + 1);
  const auto zeros = std::make_unique<char[]>(largest + 1);  // what it writes
  std::vector<int> fds(kSlots, -1);
  fds[0] = 0;
  fds[1] = 1;
  fds[2] = 2;
  auto fd_of = [&](std::int32_t slot) {
    return slot == kCwd ? AT_FDCWD : (slot >= 0 && slot < kSlots ? fds[slot] : -1);
  };
  int mismatches = 0;
  try {
    while (!in.done()) {
      switch (in.get<std::uint8_t>()) {
        case kOpen: {
          const auto slot = in.get<std::int32_t>();
          const auto dir = in.get<std::int32_t>();
          const auto flags = in.get<std::int32_t>();
          const auto mode = in.get<std::uint32_t>();
          const std::string path = in.text();
          const int fd = ::openat(fd_of(dir), path.c_str(), flags, mode);
          if ((fd < 0) != (slot < 0)) ++mismatches;
          if (slot >= 0 && slot < kSlots) {
            fds[slot] = fd;
          } else if (fd >= 0) {
            ::close(fd);
          }
          break;
        }
        case kFstat: {
          struct stat st {};
          if (::fstat(fd_of(in.get<std::int32_t>()), &st) != 0) ++mismatches;
          break;
        }
        case kFstatat: {
          const auto dir = in.get<std::int32_t>();
          const auto flags = in.get<std::int32_t>();
          const std::string path = in.text();
          struct stat st {};
          ::fstatat(fd_of(dir), path.c_str(), &st, flags);
          break;
        }
        case kStatx: {
          const auto dir = in.get<std::int32_t>();
          const auto flags = in.get<std::int32_t>();
          const auto mask = in.get<std::uint32_t>();
          const std::string path = in.text();
          struct statx stx {};
          ::statx(fd_of(dir), path.c_str(), flags, mask, &stx);
          break;
        }
        case kPread: {
          const int fd = fd_of(in.get<std::int32_t>());
          const auto size = in.get<std::uint32_t>();
          const auto offset = in.get<std::uint64_t>();
          if (::pread(fd, buffer.get(), size, static_cast<off_t>(offset)) < 0) ++mismatches;
          break;
        }
        case kRead: {
          const int fd = fd_of(in.get<std::int32_t>());
          const auto size = in.get<std::uint32_t>();
          if (::read(fd, buffer.get(), size) < 0) ++mismatches;
          break;
        }
        case kLseek: {
          const int fd = fd_of(in.get<std::int32_t>());
          const auto offset = in.get<std::int64_t>();
          const auto whence = in.get<std::int32_t>();
          ::lseek(fd, static_cast<off_t>(offset), whence);
          break;
        }
        case kClose: {
          const auto slot = in.get<std::int32_t>();
          if (::close(fd_of(slot)) != 0) ++mismatches;
          if (slot >= 0 && slot < kSlots) fds[slot] = -1;
          break;
        }
        case kGetdents: {
          const int fd = fd_of(in.get<std::int32_t>());
          const auto size = in.get<std::uint32_t>();
          if (::syscall(SYS_getdents64, fd, buffer.get(), size) < 0) ++mismatches;
          break;
        }
        case kWrite: {
          const int fd = fd_of(in.get<std::int32_t>());
          const auto size = in.get<std::uint32_t>();
          if (::write(fd, zeros.get(), size) < 0) ++mismatches;
          break;
        }
        case kFadvise: {
          const int fd = fd_of(in.get<std::int32_t>());
          const auto offset = in.get<std::int64_t>();
          const auto length = in.get<std::int64_t>();
          const auto advice = in.get<std::int32_t>();
          ::posix_fadvise(fd, offset, length, advice);
          break;
        }
        case kFcntl: {
          const int fd = fd_of(in.get<std::int32_t>());
          const auto command = in.get<std::int32_t>();
          const auto value = in.get<std::int32_t>();
          ::fcntl(fd, command, value);
          break;
        }
        default:
          throw "unknown operation in plan";
      }
    }
  } catch (const char* what) {
    std::fprintf(stderr, "floor: %s\n", what);
    return 2;
  }
  // A call that failed where tunlex's succeeded (or the reverse) means the plan is stale.
  if (mismatches != 0) {
    std::fprintf(stderr, "floor: %d calls did not go as traced\n", mismatches);
    return 1;
  }
  return 0;
}
