#include "host/native_backend.h"

#include <filesystem>
#include <system_error>

#include "mp3info/evaluate.h"
#include "plugin/module_state.h"

namespace host {
namespace {

// The plug-in's record for one thread. A read goes to the core directly, so a failed open is
// known without a second open to check.
class NativeReader final : public FileReader {
 public:
  NativeReader(const plugin::ModuleState& state, fileio::FileSystem& files)
      : state_(state), files_(files) {}
  bool read(const std::string& path) override {
    return mp3info::ReadMp3File(path, state_.Settings, info_, files_);
  }
  std::string answer(const std::string& parameter) override {
    return NativeReader::answer_from(state_, info_, text_, files_, parameter);
  }

  // What the plug-in's exec answers without reading, up to its first zero byte.
  static std::string answer_from(const plugin::ModuleState& state, mp3info::TMp3FileInfo& info,
                                 std::string& text, fileio::FileSystem& files,
                                 const std::string& parameter) {
    if (!state.DefaultItemsExist) return {};
    mp3info::MacroRequest request;
    request.Parameter = parameter;
    request.ReadFlag = 0;
    return mp3info::EvaluateMacro(request, state.Settings, info, text, files);
  }

 private:
  const plugin::ModuleState& state_;
  fileio::FileSystem& files_;
  mp3info::TMp3FileInfo info_;
  std::string text_;
};

class NativeBackend final : public MacroBackend {
 public:
  explicit NativeBackend(fileio::FileSystem& files) : files_(files) {}

  void init(const std::string& ini_path, const std::string& section) override {
    plugin::InitPlugin(state_, ini_path, section, files_);
  }
  void term() override { plugin::TermPlugin(state_); }
  bool read(const std::string& path) override {
    return mp3info::ReadMp3File(path, state_.Settings, state_.FileInfo, files_);
  }
  std::string answer(const std::string& parameter) override {
    return NativeReader::answer_from(state_, state_.FileInfo, state_.ExecResultText, files_,
                                     parameter);
  }
  // The settings are only read while files are: readers share them.
  std::unique_ptr<FileReader> new_reader() override {
    return std::make_unique<NativeReader>(state_, files_);
  }
  std::string display_path(const std::string& path, bool) override { return path; }
  bool paths_are_sjis() const override { return false; }
  bool is_folder(const std::string& path) override {
    std::error_code error;
    return std::filesystem::is_directory(path, error);
  }
  std::optional<std::vector<FolderEntry>> list_folder(const std::string& path) override {
    namespace fs = std::filesystem;
    std::error_code error;
    fs::directory_iterator it(path, error);
    if (error) return std::nullopt;
    const std::string prefix = path.ends_with('/') ? path : path + '/';
    std::vector<FolderEntry> entries;
    for (; it != fs::directory_iterator(); it.increment(error)) {
      if (error) return std::nullopt;
      FolderEntry entry;
      entry.path = prefix + it->path().filename().string();
      // Links to files count as files; links to folders are not followed, so there is no loop.
      // The kinds come from the listing itself where it gives them: a stat per entry here would
      // read every file's inode on this thread, before any reader starts.
      std::error_code entry_error;
      const bool link = it->is_symlink(entry_error);
      if (it->is_regular_file(entry_error)) {
        entry.kind = FolderEntry::Kind::File;
      } else if (!link && it->is_directory(entry_error)) {
        entry.kind = FolderEntry::Kind::Folder;
      } else {
        entry.kind = FolderEntry::Kind::Skipped;
      }
      entries.push_back(std::move(entry));
    }
    if (error) return std::nullopt;
    return entries;
  }
  std::optional<std::string> param(char, const std::string&, const DialogRect&,
                                   bool& supported) override {
    supported = false;
    return std::nullopt;
  }
  bool setup(const DialogRect&) override { return false; }

 private:
  fileio::FileSystem& files_;
  plugin::ModuleState state_;
};

}  // namespace

std::unique_ptr<MacroBackend> MakeNativeBackend(fileio::FileSystem& files) {
  return std::make_unique<NativeBackend>(files);
}

}  // namespace host
