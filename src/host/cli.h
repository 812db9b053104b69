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
  std::vector<std::string> files;
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

// What the host needs of a plug-in: initialise, evaluate, terminate.
class MacroBackend {
 public:
  virtual ~MacroBackend() = default;
  virtual void init(const std::string& ini_path, const std::string& section) = 0;
  // The answer as the host sees it: the text up to its first zero byte.
  virtual std::string exec(const std::string& parameter, const std::string& folder,
                           const std::string& file_name, std::int32_t read_flag) = 0;
  virtual void term() = 0;
  // Whether the host can open the file at all (the plug-in answers an unreadable file with an
  // empty text, like a file without tags).
  virtual bool can_read(const std::string& path) = 0;
  // A path as it is printed.
  virtual std::string display_path(const std::string& path, bool utf8) = 0;
  // Shows the parameter dialog; the text it returned, or nullopt for none. False in
  // `supported` where there are no dialogs.
  virtual std::optional<std::string> param(char macro_char, const std::string& caption,
                                           const DialogRect& rect, bool& supported) = 0;
  // Shows the setup dialog; false where there are no dialogs.
  virtual bool setup(const DialogRect& rect) = 0;
};

struct SplitPath {
  std::string folder;
  std::string file_name;
};
// Splits at the last "/" or "\"; a bare name lies in ".".
SplitPath SplitFilePath(const std::string& path);

// Runs the tool: for each file one read, then the answers. Returns the exit code.
int RunTunlex(const Options& options, MacroBackend& backend, std::ostream& out, std::ostream& err,
              bool out_is_terminal);

using BackendOpener = std::function<std::unique_ptr<MacroBackend>(std::string& error)>;

// The whole program: parses `args`, answers --help and bad command lines, opens the backend
// and runs the tool on standard output. Returns the exit code; nothing is thrown.
int TunlexMain(const std::vector<std::string>& args, const BackendOpener& open_backend,
               bool out_is_terminal);

}  // namespace host
