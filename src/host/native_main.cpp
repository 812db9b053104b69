// The reference host, native: the same command line as on Windows, with the portable core
// linked in place of the DLL.

#include <unistd.h>

#include <memory>

#include "fileio/file_system.h"
#include "host/cli.h"
#include "plugin/module_state.h"

namespace {

class NativeBackend final : public host::MacroBackend {
 public:
  void init(const std::string& ini_path, const std::string& section) override {
    plugin::InitPlugin(state_, ini_path, section, fileio::system_file_system());
  }
  std::string exec(const std::string& parameter, const std::string& folder,
                   const std::string& file_name, std::int32_t read_flag) override {
    mp3info::MacroRequest request;
    request.Parameter = parameter;
    request.Folder = folder;
    request.FileName = file_name;
    request.ReadFlag = read_flag;
    return plugin::ExecMacro(state_, request, fileio::system_file_system());
  }
  void term() override { plugin::TermPlugin(state_); }
  bool can_read(const std::string& path) override {
    return fileio::system_file_system().open_exclusive_read(path) != nullptr;
  }
  std::string display_path(const std::string& path, bool) override { return path; }
  std::optional<std::string> param(char, const std::string&, const host::DialogRect&,
                                   bool& supported) override {
    supported = false;
    return std::nullopt;
  }
  bool setup(const host::DialogRect&) override { return false; }

 private:
  plugin::ModuleState state_;
};

}  // namespace

int main(int argc, char** argv) {
  return host::TunlexMain(
      std::vector<std::string>(argv + 1, argv + argc),
      [](std::string&) { return std::make_unique<NativeBackend>(); }, isatty(1) != 0);
}
