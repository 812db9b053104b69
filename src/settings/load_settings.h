#pragma once

#include "fileio/file_system.h"
#include "ini/ini_file.h"
#include "settings/mp3_settings.h"

namespace settings {

// Fills every member but IniPath and IniSection from the section `settings.IniSection` of the
// file `settings.IniPath`. Never fails: what cannot be decoded takes its key's default.
void LoadSettings(TMp3Settings& settings, fileio::FileSystem& files);
// The same from an INI object already read.
void LoadSettingsFrom(const ini::IniFile& file, TMp3Settings& settings);

}  // namespace settings
