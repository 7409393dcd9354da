// Errors of the engine: a user-facing message in UTF-8.
//
// Operations throw EVexaError; the front end catches it at the level of one
// user command, shows the message and leaves the program in the state reached.
#pragma once

#include <stdexcept>
#include <string>

namespace vexa {

class EVexaError : public std::runtime_error {
 public:
  explicit EVexaError(const std::string& message) : std::runtime_error(message) {}
};

// A date text that does not parse (the conversion error of the date hooks).
class EConvertError : public EVexaError {
 public:
  explicit EConvertError(const std::string& message) : EVexaError(message) {}
};

}  // namespace vexa
