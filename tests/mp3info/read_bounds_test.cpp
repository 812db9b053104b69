// What one read of a file costs in bytes read and buffer size, whatever sizes the file claims.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "fileio/memory_file_system.h"
#include "mp3info/audio_header.h"
#include "mp3info/evaluate.h"
#include "mp3info/id3v2.h"
#include "support/mp3_builder.h"

namespace mp3info {
namespace {

using fixtures::Id3v2Builder;
using fixtures::Mp3FileBuilder;
using fixtures::MpegFrameBuilder;
using namespace std::string_literals;

constexpr const char* kPath = "C:\\Music\\a.mp3";

// A file in memory that counts what is asked of it. Without a known size, only reads can tell
// where it ends.
class CountingFile final : public fileio::RandomAccessFile {
 public:
  CountingFile(const std::string& data, bool size_known) : data_(data), size_known_(size_known) {}

  std::size_t read_at(std::uint64_t offset, void* buffer, std::size_t size) override {
    ++reads;
    largest_request = std::max(largest_request, size);
    if (offset >= data_.size()) return 0;
    const auto count =
        static_cast<std::size_t>(std::min<std::uint64_t>(size, data_.size() - offset));
    std::memcpy(buffer, data_.data() + offset, count);
    bytes_read += count;
    return count;
  }
  std::optional<std::uint64_t> size() override {
    if (!size_known_) return std::nullopt;
    return data_.size();
  }

  int reads = 0;
  std::uint64_t bytes_read = 0;
  std::size_t largest_request = 0;

 private:
  const std::string& data_;
  bool size_known_;
};

TMp3FileInfo read_file(fileio::MemoryFileSystem& files, const std::string& bytes) {
  files.add(kPath, bytes);
  TMp3FileInfo info;
  EXPECT_TRUE(ReadMp3File(kPath, settings::TMp3Settings{}, info, files));
  return info;
}

// Picture data full of frame headers: a scan that walked into it would take its titles.
std::string picture_data(std::size_t size) {
  std::string data = "\xFF\xD8\xFF\xE0"s;
  while (data.size() < size) data += "TIT2\0\0\0\x07\0\0\0Fake!!"s;
  data.resize(size);
  return data;
}

TEST(ReadBounds, PictureFrameIsPassedOverUnread) {
  for (const std::uint8_t encoding : {std::uint8_t{0}, std::uint8_t{3}}) {
    const std::string picture =
        static_cast<char>(encoding) + "image/jpeg\0\x03\0"s + picture_data(2 * 1024 * 1024);
    const std::string tag = Id3v2Builder(3)
                                .text_frame("TIT2", "Before")
                                .frame("APIC", picture)
                                .text_frame("TPE1", "After")
                                .text_frame("TALB", "Album")
                                .padding(512)
                                .build();
    const std::string file = Mp3FileBuilder()
                                 .id3v2(tag)
                                 .frame(MpegFrameBuilder(), 20)
                                 .id3v1(fixtures::id3v1_tag({.title = "v1"}))
                                 .build();
    fileio::MemoryFileSystem files;
    const TMp3FileInfo info = read_file(files, file);
    EXPECT_EQ(info.Title, "Before") << int{encoding};
    EXPECT_EQ(info.Artist, "After") << int{encoding};
    EXPECT_EQ(info.Album, "Album") << int{encoding};
    EXPECT_EQ(info.BitrateIndex, 9) << int{encoding};
    EXPECT_LT(files.bytes_read(), 128u * 1024) << int{encoding};
  }
}

TEST(ReadBounds, TagClaimingOver512MiBReadsOnlyTheFile) {
  const std::string file = Id3v2Builder(3)
                               .text_frame("TIT2", "Title")
                               .padding(900)
                               .text_frame("TPE1", "Artist")
                               .size_bytes(0xFF, 0xFF, 0xFF, 0xFF)
                               .build();
  ASSERT_LT(file.size(), 1024u);
  for (const bool size_known : {true, false}) {
    CountingFile counting(file, size_known);
    TMp3FileInfo info;
    EXPECT_EQ(ReadId3v2Tag(counting, settings::TMp3Settings{}, info), 538'984'575u + 10);
    EXPECT_EQ(info.Title, "Title");
    EXPECT_EQ(info.Artist, "Artist");
    EXPECT_LE(counting.bytes_read, file.size()) << "size known " << size_known;
    EXPECT_LE(counting.largest_request, kId3v2WindowSize) << "size known " << size_known;
  }
  fileio::MemoryFileSystem files;
  EXPECT_EQ(read_file(files, file).Artist, "Artist");
  EXPECT_LE(files.bytes_read(), file.size());
}

TEST(ReadBounds, TenMegabytesOfPaddingAreReadOnceThroughTheWindow) {
  const std::size_t kPadding = 10 * 1000 * 1000;
  const std::string file = Id3v2Builder(3)
                               .text_frame("TIT2", "First")
                               .padding(kPadding)
                               .text_frame("TPE1", "Last")
                               .build();
  CountingFile counting(file, true);
  TMp3FileInfo info;
  ReadId3v2Tag(counting, settings::TMp3Settings{}, info);
  EXPECT_EQ(info.Artist, "Last");  // the walk went all the way
  EXPECT_LE(counting.bytes_read, file.size() + kId3v2WindowSize);
  EXPECT_LE(counting.largest_request, kId3v2WindowSize);
}

TEST(ReadBounds, FileWithoutId3v2ReadsItsStartItsTagAndOneFrameHeader) {
  const std::string file = Mp3FileBuilder()
                               .frame(MpegFrameBuilder(), 1000)
                               .id3v1(fixtures::id3v1_tag({.title = "v1"}))
                               .build();
  fileio::MemoryFileSystem files;
  const TMp3FileInfo info = read_file(files, file);
  EXPECT_EQ(info.Title, "v1");
  EXPECT_EQ(info.BitrateIndex, 9);
  EXPECT_LE(files.bytes_read(), 3u + 128 + 50);
}

TEST(ReadBounds, AudioHeaderIsOneReadOfAtMostFiftyBytes) {
  const std::string file =
      MpegFrameBuilder().crc().xing({.tag = "Xing", .flags = 1, .frames = 100}).build();
  CountingFile counting(file, true);
  TMp3FileInfo info;
  EXPECT_EQ(ReadAudioHeader(counting, 0, settings::TMp3Settings{}, info), 2);
  EXPECT_EQ(counting.reads, 1);
  EXPECT_LE(counting.bytes_read, 50u);
}

TEST(ReadBounds, RequestWithoutReadReadsNothing) {
  fileio::MemoryFileSystem files;
  files.add(kPath,
            Id3v2Builder(3).text_frame("TIT2", "Title").build() + MpegFrameBuilder().build());
  settings::TMp3Settings settings;
  TMp3FileInfo info;
  std::string result;
  for (const std::int32_t read_flag : {0, 2}) {
    const MacroRequest request{.Parameter = "T",
                               .Folder = "C:\\Music",
                               .FileName = "a.mp3",
                               .SkipFlag = false,
                               .ReadFlag = read_flag};
    EXPECT_STREQ(EvaluateMacro(request, settings, info, result, files), "");
    EXPECT_EQ(files.opens(), 0);
    EXPECT_EQ(files.bytes_read(), 0u);
  }
  const MacroRequest read{.Parameter = "T",
                          .Folder = "C:\\Music",
                          .FileName = "a.mp3",
                          .SkipFlag = false,
                          .ReadFlag = 1};
  EXPECT_STREQ(EvaluateMacro(read, settings, info, result, files), "Title");
  EXPECT_GT(files.bytes_read(), 0u);
}

}  // namespace
}  // namespace mp3info
