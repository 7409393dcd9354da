// How the engine talks back to whoever runs it: the window, the terminal
// or a test. Every long operation reports progress through SetStatus and
// polls StopRequested where it can be interrupted.
#pragma once

#include <string_view>

namespace vexa {

enum class TMessageKind { Error, Information, Attention, Warning };

class TUserInterface {
 public:
  virtual ~TUserInterface() = default;
  virtual void SetStatus(std::string_view text) = 0;  // progress text; also pumps events
  virtual void Message(TMessageKind kind, std::string_view text) = 0;
  virtual bool Ask(std::string_view text, std::string_view title, bool noIsDefault) = 0;
  virtual bool StopRequested() = 0;
};

// Says nothing, answers every question with its default.
class TSilentUserInterface : public TUserInterface {
 public:
  void SetStatus(std::string_view) override {}
  void Message(TMessageKind, std::string_view) override {}
  bool Ask(std::string_view, std::string_view, bool noIsDefault) override { return !noIsDefault; }
  bool StopRequested() override { return false; }
};

}  // namespace vexa
