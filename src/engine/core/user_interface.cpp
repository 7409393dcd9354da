#include "core/user_interface.h"

#include "core/error.h"

namespace vexa {

std::string MessageBoxText(std::string_view text, std::string_view cause) {
  std::string s(text);
  if (!cause.empty()) {
    s += "\r\r";
    s += cause;
  }
  return s;
}

std::string MessageLine(std::string_view text, std::string_view cause) {
  std::string s(text);
  if (!cause.empty()) {
    s += ' ';
    s += cause;
  }
  // Line breaks of the box form become terminal line ends.
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '\r') {
      out += s[i];
    } else if (i + 1 >= s.size() || s[i + 1] != '\n') {
      out += '\n';
    }
  }
  return out;
}

void ThrowIfStopped(TUserInterface& ui) {
  if (ui.StopRequested()) throw EStopped();
}

EVexaError::EVexaError(const std::string& message, const std::string& cause)
    : std::runtime_error(MessageBoxText(message, cause)), Message_(message), Cause_(cause) {}

EBusyError::EBusyError() : EVexaError("Дождитесь завершения выполняемой операции!") {}

EStopped::EStopped() : EVexaError("Операция прервана пользователем!") {}

}  // namespace vexa
