#pragma once

// The plug-in's fixed texts as Shift-JIS bytes (the source is UTF-8, so they are spelled out).

namespace plugin {

// "MP3ファイル情報取得マクロ", 26 bytes with the zero.
inline constexpr char kPluginName[] =
    "MP3\x83\x74\x83\x40\x83\x43\x83\x8B\x8F\xEE\x95\xF1\x8E\xE6\x93\xBE\x83\x7D\x83\x4E\x83\x8D";
// "Ver5.0", a blank and the author's notice: 22 bytes with the zero.
inline constexpr char kVersionLine[] = "Ver5.0 (C)Tunlex team";
// "MP3ファイル情報", 16 bytes with the zero.
inline constexpr char kMacroTitle[] = "MP3\x83\x74\x83\x40\x83\x43\x83\x8B\x8F\xEE\x95\xF1";
// "MP3ファイルの情報を取得表示", 28 bytes with the zero; "表" ends in the byte 0x5C.
inline constexpr char kMacroDescription[] =
    "MP3\x83\x74\x83\x40\x83\x43\x83\x8B\x82\xCC\x8F\xEE\x95\xF1\x82\xF0\x8E\xE6\x93\xBE\x95\x5C"
    "\x8E\xA6";

static_assert(sizeof kPluginName == 26);
static_assert(sizeof kVersionLine == 22);
static_assert(sizeof kMacroTitle == 16);
static_assert(sizeof kMacroDescription == 28);

}  // namespace plugin
