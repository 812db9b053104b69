// The reference host, native: the same command line as on Windows, with the portable core
// linked in place of the DLL.

#include <unistd.h>

#include "host/cli.h"
#include "host/native_backend.h"

int main(int argc, char** argv) {
  return host::TunlexMain(
      std::vector<std::string>(argv + 1, argv + argc),
      [](std::string&) { return host::MakeNativeBackend(); }, isatty(1) != 0, isatty(2) != 0);
}
