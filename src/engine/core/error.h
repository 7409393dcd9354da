// Errors of the engine.
//
// Operations throw EVexaError; the front end catches it at the level of one
// user command, lays out the message and its cause (MessageBoxText in a
// box, MessageLine on a terminal) and leaves the program in the state
// reached.
#pragma once

#include <stdexcept>
#include <string>

namespace vexa {

class EVexaError : public std::runtime_error {
 public:
  // `message` is the program's text naming what failed; `cause` the
  // underlying error ("" when there is none). what() is the box layout.
  explicit EVexaError(const std::string& message, const std::string& cause = {});
  const std::string& Message() const { return Message_; }
  const std::string& Cause() const { return Cause_; }

 private:
  std::string Message_;
  std::string Cause_;
};

// A date text that does not parse (the conversion error of the date hooks).
class EConvertError : public EVexaError {
 public:
  explicit EConvertError(const std::string& message) : EVexaError(message) {}
};

// An operation that changes data was asked for while another one runs.
class EBusyError : public EVexaError {
 public:
  EBusyError();
};

// The user stopped the operation; the data are as they were before it.
class EStopped : public EVexaError {
 public:
  EStopped();
};

}  // namespace vexa
