#pragma once

// The host's backend with the portable core linked in place of the DLL.

#include <memory>

#include "fileio/file_system.h"
#include "host/cli.h"

namespace host {

// Files are read through `files`; folders are listed from the system's own file system.
std::unique_ptr<MacroBackend> MakeNativeBackend(
    fileio::FileSystem& files = fileio::system_file_system());

}  // namespace host
