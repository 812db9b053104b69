#pragma once

// The reference host's command line and output, shared by the Windows build (which loads the
// real DLL) and the native build (which links the core directly).

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace host {

enum class Encoding { Auto, ShiftJis, Utf8 };
enum class Format { Text, Tsv, Json };

// The host's rectangle a dialog is centred on.
struct DialogRect {
  int left = 0;
  int top = 0;
  int width = 640;
  int height = 480;
};

struct Options {
  std::optional<std::string> ini_path;
  std::string section = "mac_Tunlex";
  std::optional<std::string> parameter;  // -p; an empty one asks for the default composition
  Encoding encoding = Encoding::Auto;
  bool help = false;
  std::vector<std::string> files;  // files and folders
  Format format = Format::Text;
  bool recursive = false;  // -r
  int jobs = 1;            // -j
  // "tunlex param" / "tunlex setup": show a dialog instead of reading files.
  bool param_dialog = false;
  bool setup_dialog = false;
  char macro_char = 'm';
  std::string caption = "tunlex";
  DialogRect rect;
};

struct ParseResult {
  std::optional<Options> options;
  std::string error;  // set when options is empty
};

ParseResult ParseOptions(const std::vector<std::string>& args);

extern const char kUsage[];

// Reads files and answers from the record the last read left. One reader serves one thread.
class FileReader {
 public:
  virtual ~FileReader() = default;
  // Fills the record from the file; false when the file cannot be opened.
  virtual bool read(const std::string& path) = 0;
  // The answer as the host sees it: the text up to its first zero byte.
  virtual std::string answer(const std::string& parameter) = 0;
};

struct FolderEntry {
  enum class Kind { File, Folder, Skipped /* a link to a folder, a device */ };
  std::string path;  // the folder's path joined with the name
  Kind kind = Kind::File;
  // False for a name the backend's paths cannot spell; `path` is then the nearest spelling.
  bool usable = true;
};

// What the host needs of a plug-in: initialise, evaluate, terminate; and of the system, folders.
class MacroBackend : public FileReader {
 public:
  virtual void init(const std::string& ini_path, const std::string& section) = 0;
  virtual void term() = 0;
  // A path as it is printed. This and paths_are_sjis are called from reader threads too.
  virtual std::string display_path(const std::string& path, bool utf8) = 0;
  // Whether paths are Shift-JIS bytes (else the system's own, taken as UTF-8).
  virtual bool paths_are_sjis() const = 0;
  virtual bool is_folder(const std::string& path) = 0;
  // The entries of a folder in any order; nullopt when it cannot be listed.
  virtual std::optional<std::vector<FolderEntry>> list_folder(const std::string& path) = 0;
  // A reader for another thread, sharing the settings `init` loaded; nullptr when the plug-in
  // takes one call at a time. Used between init and term only.
  virtual std::unique_ptr<FileReader> new_reader() = 0;
  // Shows the parameter dialog; the text it returned, or nullopt for none. False in
  // `supported` where there are no dialogs.
  virtual std::optional<std::string> param(char macro_char, const std::string& caption,
                                           const DialogRect& rect, bool& supported) = 0;
  // Shows the setup dialog; false where there are no dialogs.
  virtual bool setup(const DialogRect& rect) = 0;
};

// A plug-in reached through its exec entry alone, which cannot tell a failed open from a file
// without tags: `can_read` checks the file first, and the first answer after a read asks the
// plug-in to read (ReadFlag 1).
class ExecBackend : public MacroBackend {
 public:
  bool read(const std::string& path) final;
  std::string answer(const std::string& parameter) final;
  std::unique_ptr<FileReader> new_reader() override { return nullptr; }

  virtual std::string exec(const std::string& parameter, const std::string& folder,
                           const std::string& file_name, std::int32_t read_flag) = 0;
  virtual bool can_read(const std::string& path) = 0;

 private:
  std::string folder_;
  std::string file_name_;
  bool read_pending_ = false;
};

struct SplitPath {
  std::string folder;
  std::string file_name;
};
// Splits at the last "/" or "\"; a bare name lies in ".".
SplitPath SplitFilePath(const std::string& path);

// Runs the tool: for each file one read, then the answers. Returns the exit code. Progress is
// shown on `err` when it is a terminal.
int RunTunlex(const Options& options, MacroBackend& backend, std::ostream& out, std::ostream& err,
              bool out_is_terminal, bool err_is_terminal = false);

using BackendOpener = std::function<std::unique_ptr<MacroBackend>(std::string& error)>;

// The whole program: parses `args`, answers --help and bad command lines, opens the backend
// and runs the tool on standard output. Returns the exit code; nothing is thrown.
int TunlexMain(const std::vector<std::string>& args, const BackendOpener& open_backend,
               bool out_is_terminal, bool err_is_terminal);

}  // namespace host
