#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "fileio/file_system.h"

namespace fileio {
namespace {

// A file on disk with bytes that differ from one offset to the next.
class SystemFileTest : public ::testing::Test {
 protected:
  void write(std::size_t size) {
    contents.clear();
    for (std::size_t i = 0; i < size; ++i) contents += static_cast<char>((i * 7 + i / 251) & 0xFF);
    std::ofstream(path, std::ios::binary)
        .write(contents.data(), static_cast<std::streamsize>(contents.size()));
  }
  std::string read(RandomAccessFile& file, std::uint64_t offset, std::size_t size) {
    std::string buffer(size, '\0');
    buffer.resize(file.read_at(offset, buffer.data(), size));
    return buffer;
  }
  void TearDown() override { std::filesystem::remove(path); }

  std::string path = (std::filesystem::temp_directory_path() /
                      ("tunlex-file-" +
                       std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + ".bin"))
                         .string();
  std::string contents;
};

// Pieces inside the first page, across its end and beyond it, in any order: each read gives
// exactly the file's bytes there, and a read past the end gives what there is.
TEST_F(SystemFileTest, EveryPieceReadsTheFilesBytes) {
  for (const std::size_t size :
       {std::size_t{0}, std::size_t{3}, std::size_t{100}, std::size_t{4096}, std::size_t{20000}}) {
    write(size);
    const auto file = system_file_system().open_exclusive_read(path);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->size(), std::optional<std::uint64_t>(size));
    struct Piece {
      std::uint64_t offset;
      std::size_t size;
    };
    for (const Piece piece :
         {Piece{0, 3}, Piece{3, 7}, Piece{0, 50}, Piece{4000, 96}, Piece{4000, 200},
          Piece{4096, 10}, Piece{10, 16384}, Piece{19900, 500},
          Piece{size > 128 ? size - 128 : 0, 128}, Piece{30000, 4}}) {
      const std::string expected =
          piece.offset < size ? contents.substr(static_cast<std::size_t>(piece.offset), piece.size)
                              : std::string();
      EXPECT_EQ(read(*file, piece.offset, piece.size), expected)
          << "file of " << size << ", " << piece.size << " at " << piece.offset;
    }
  }
}

}  // namespace
}  // namespace fileio
