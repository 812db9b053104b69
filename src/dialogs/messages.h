#pragma once

#include <string>
#include <string_view>

namespace dialogs {

// "ファイル %s を作成できません" with the path, in Shift-JIS: the message of a settings file that
// cannot be written.
std::string CannotCreateFileMessage(std::string_view path);

}  // namespace dialogs
