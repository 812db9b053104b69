#include <windows.h>

#include <string>

#include "fileio/file_system.h"
#include "text/wide.h"

namespace fileio {
namespace {

class Win32File final : public RandomAccessFile {
 public:
  explicit Win32File(HANDLE handle) : handle_(handle) {}
  ~Win32File() override { CloseHandle(handle_); }
  Win32File(const Win32File&) = delete;
  Win32File& operator=(const Win32File&) = delete;

  std::size_t read_at(std::uint64_t offset, void* buffer, std::size_t size) override {
    std::size_t done = 0;
    auto* bytes = static_cast<char*>(buffer);
    while (done < size) {
      OVERLAPPED at{};
      const std::uint64_t position = offset + done;
      at.Offset = static_cast<DWORD>(position & 0xFFFFFFFFu);
      at.OffsetHigh = static_cast<DWORD>(position >> 32);
      const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size - done, 1u << 30));
      DWORD got = 0;
      if (!ReadFile(handle_, bytes + done, chunk, &got, &at) || got == 0) break;
      done += got;
    }
    return done;
  }

  // Asked for by more than one reader of the same file: one system call is enough.
  std::optional<std::uint64_t> size() override {
    if (!size_) {
      LARGE_INTEGER size{};
      if (!GetFileSizeEx(handle_, &size)) return std::nullopt;
      size_ = static_cast<std::uint64_t>(size.QuadPart);
    }
    return size_;
  }

 private:
  HANDLE handle_;
  std::optional<std::uint64_t> size_;
};

class Win32FileSystem final : public FileSystem {
 public:
  std::unique_ptr<RandomAccessFile> open_exclusive_read(std::string_view path) override {
    const auto wide = text::sjis_to_wide_exact(path);
    if (!wide || wide->empty()) return nullptr;
    // Share mode 0: no other process may open the file while it is read.
    const HANDLE handle = CreateFileW(wide->c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return nullptr;
    return std::make_unique<Win32File>(handle);
  }

  std::optional<std::string> read_whole_file(std::string_view path) override {
    const auto wide = text::sjis_to_wide_exact(path);
    if (!wide || wide->empty()) return std::nullopt;
    const HANDLE handle =
        CreateFileW(wide->c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
    Win32File file(handle);
    const auto size = file.size();
    if (!size) return std::nullopt;
    std::string contents(static_cast<std::size_t>(*size), '\0');
    contents.resize(file.read_at(0, contents.data(), contents.size()));
    return contents;
  }

  bool replace_file(std::string_view path, std::string_view contents) override {
    const auto wide = text::sjis_to_wide_exact(path);
    if (!wide || wide->empty()) return false;
    const std::wstring temp = *wide + L".tmp~";
    const HANDLE handle = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    bool written = true;
    std::size_t done = 0;
    while (written && done < contents.size()) {
      const DWORD chunk =
          static_cast<DWORD>(std::min<std::size_t>(contents.size() - done, 1u << 30));
      DWORD put = 0;
      written = WriteFile(handle, contents.data() + done, chunk, &put, nullptr) && put == chunk;
      done += put;
    }
    written = written && FlushFileBuffers(handle);
    CloseHandle(handle);
    if (!written || !MoveFileExW(temp.c_str(), wide->c_str(),
                                 MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      DeleteFileW(temp.c_str());
      return false;
    }
    return true;
  }
};

}  // namespace

FileSystem& system_file_system() {
  static Win32FileSystem instance;
  return instance;
}

}  // namespace fileio
