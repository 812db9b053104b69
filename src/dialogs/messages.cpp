#include "dialogs/messages.h"

#include "text/shift_jis.h"

namespace dialogs {

std::string CannotCreateFileMessage(std::string_view path) {
  std::string message = text::utf8_to_sjis("ファイル %s を作成できません");
  message.replace(message.find("%s"), 2, path);
  return message;
}

}  // namespace dialogs
