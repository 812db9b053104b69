// Time of one evaluation of typical files: a read (ReadFlag 1) with the default composition, from
// memory and from files on disk (in the page cache), and an answer without a read.
//   build/native/tunlex_bench [--benchmark_filter=REGEX] [--benchmark_repetitions=N]

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <array>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <iostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "fileio/file_system.h"
#include "fileio/memory_file_system.h"
#include "ini/ini_file.h"
#include "mp3info/evaluate.h"
#include "settings/load_settings.h"
#include "support/mp3_builder.h"

namespace {

using fixtures::Id3v2Builder;
using fixtures::Mp3FileBuilder;
using fixtures::MpegFrameBuilder;

// A user's composition: "artist - title [05] (4'06, 128 kbps, 44100 Hz (VBR) JointStereo)".
constexpr std::string_view kSettingsIni =
    "[mac_Tunlex]\r\n"
    "Default=16\r\n"
    "Default0=1\r\nDefault1=0 - /\r\nDefault2=2\r\nDefault3=0 [/\r\n"
    "Default4=4\r\nDefault5=0] (/\r\nDefault6=7\r\nDefault7=0, /\r\n"
    "Default8=8\r\nDefault9=0 kbps, /\r\nDefault10=9\r\nDefault11=0 Hz /\r\n"
    "Default12=10\r\nDefault13=0 /\r\nDefault14=11\r\nDefault15=0)/\r\n";

// The readers look at the tags and the first frame only, so the audio's length matters little;
// 1000 frames are 26 s at 128 kbps.
constexpr std::size_t kAudioFrames = 1000;
constexpr std::size_t kPictureBytes = 300 * 1024;
// What taggers commonly leave for later edits.
constexpr std::size_t kTagPadding = 2048;

constexpr const char* kMemoryFolder = "C:\\Music";

settings::TMp3Settings typical_settings() {
  settings::TMp3Settings settings;
  settings.IniSection = "mac_Tunlex";
  settings::LoadSettingsFrom(ini::IniFile::parse(kSettingsIni), settings);
  return settings;
}

// APIC: encoding, MIME type, picture type 3 (front cover), empty description, JPEG data.
std::string picture_frame_body() {
  std::string body("\0image/jpeg\0\x03\0", 14);
  body += "\xFF\xD8\xFF\xE0";
  std::uint32_t noise = 0x12345678;
  while (body.size() < kPictureBytes) {
    noise = noise * 1664525u + 1013904223u;
    body += static_cast<char>(noise >> 24);
  }
  return body;
}

// ID3v2.3 text frames as taggers write them: encoding 0, no terminating zero.
std::string id3v23_tag(bool with_picture) {
  Id3v2Builder tag(3);
  tag.text_frame("TIT2", "Morning Light", 0, false)
      .text_frame("TPE1", "Kana Sato", 0, false)
      .text_frame("TALB", "Field Recordings", 0, false)
      .text_frame("TYER", "2003", 0, false)
      .text_frame("TRCK", "5", 0, false)
      .text_frame("TCON", "(17)", 0, false);
  if (with_picture) tag.frame("APIC", picture_frame_body());
  return tag.padding(kTagPadding).build();
}

std::string cbr_file(std::string id3v2_tag) {
  return Mp3FileBuilder()
      .id3v2(std::move(id3v2_tag))
      .frame(MpegFrameBuilder(), kAudioFrames)
      .build();
}

std::string id3v1_file() {
  return Mp3FileBuilder()
      .frame(MpegFrameBuilder(), kAudioFrames)
      .id3v1(fixtures::id3v1_tag({.title = "Morning Light",
                                  .artist = "Kana Sato",
                                  .album = "Field Recordings",
                                  .year = "2003",
                                  .track = 5,
                                  .genre = 17}))
      .build();
}

// A Xing header with all four fields, as encoders write it, then frames of varying bitrate.
std::string xing_vbr_file() {
  constexpr std::array<std::uint8_t, 4> kBitrateIndexes = {9, 11, 10, 12};
  std::vector<MpegFrameBuilder> audio;
  std::uint32_t audio_bytes = 0;
  for (std::size_t i = 0; i < kAudioFrames; ++i) {
    audio.push_back(MpegFrameBuilder().bitrate_index(kBitrateIndexes[i % kBitrateIndexes.size()]));
    audio_bytes += static_cast<std::uint32_t>(*audio.back().frame_length());
  }
  Mp3FileBuilder file;
  file.id3v2(id3v23_tag(false));
  file.frame(MpegFrameBuilder().xing({.tag = "Xing",
                                      .flags = fixtures::kXingFrames | fixtures::kXingBytes |
                                               fixtures::kXingToc | fixtures::kXingQuality,
                                      .frames = static_cast<std::uint32_t>(kAudioFrames),
                                      .bytes = audio_bytes,
                                      .quality = 78}));
  for (const MpegFrameBuilder& frame : audio) file.frame(frame);
  return file.build();
}

struct TypicalFile {
  std::string name;
  std::string bytes;
};

std::vector<TypicalFile> typical_files() {
  return {{"id3v23.mp3", cbr_file(id3v23_tag(false))},
          {"id3v23_picture300k.mp3", cbr_file(id3v23_tag(true))},
          {"id3v1.mp3", id3v1_file()},
          {"xing_vbr.mp3", xing_vbr_file()}};
}

// One evaluation as the host asks for it; a few checks first, so a broken set-up is reported
// instead of timing an early exit.
void run_evaluations(benchmark::State& state, const std::string& folder, const std::string& name,
                     fileio::FileSystem& files, std::int32_t read_flag) {
  const settings::TMp3Settings settings = typical_settings();
  mp3info::TMp3FileInfo info;
  std::string answer;
  mp3info::MacroRequest request;
  request.Folder = folder;
  request.FileName = name;
  request.ReadFlag = 1;
  mp3info::EvaluateMacro(request, settings, info, answer, files);
  if (info.Title != "Morning Light" || info.BitrateIndex < 0 || info.PlayTime.empty()) {
    state.SkipWithError(("unexpected first answer: " + answer).c_str());
    return;
  }
  request.ReadFlag = read_flag;
  for (auto _ : state) {
    benchmark::DoNotOptimize(mp3info::EvaluateMacro(request, settings, info, answer, files));
  }
  state.SetItemsProcessed(state.iterations());
}

void register_benchmarks(const std::vector<TypicalFile>& typical,
                         const std::filesystem::path& disk_folder) {
  for (const TypicalFile& file : typical) {
    benchmark::RegisterBenchmark(
        ("Read/memory/" + file.name).c_str(), [file](benchmark::State& state) {
          fileio::MemoryFileSystem files;
          files.add(std::string(kMemoryFolder) + "\\" + file.name, file.bytes);
          run_evaluations(state, kMemoryFolder, file.name, files, 1);
        });
    benchmark::RegisterBenchmark(("Read/disk/" + file.name).c_str(),
                                 [name = file.name, disk_folder](benchmark::State& state) {
                                   run_evaluations(state, disk_folder.string(), name,
                                                   fileio::system_file_system(), 1);
                                 });
  }
  benchmark::RegisterBenchmark("AnswerWithoutRead", [&typical](benchmark::State& state) {
    fileio::MemoryFileSystem files;
    const TypicalFile& file = typical.front();
    files.add(std::string(kMemoryFolder) + "\\" + file.name, file.bytes);
    run_evaluations(state, kMemoryFolder, file.name, files, 0);
  });
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;

  std::string folder_template =
      (std::filesystem::temp_directory_path() / "tunlex_bench.XXXXXX").string();
  if (mkdtemp(folder_template.data()) == nullptr) {
    std::cerr << "tunlex_bench: cannot make a folder from " << folder_template << "\n";
    return 1;
  }
  const std::filesystem::path folder = folder_template;
  int status = 0;
  try {
    const std::vector<TypicalFile> typical = typical_files();
    for (const TypicalFile& file : typical) fixtures::write_file(folder / file.name, file.bytes);
    register_benchmarks(typical, folder);
    benchmark::RunSpecifiedBenchmarks();
  } catch (const std::exception& error) {
    std::cerr << "tunlex_bench: " << error.what() << "\n";
    status = 1;
  }
  benchmark::Shutdown();
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
  return status;
}
