// A user interface for tests: records what the engine says and answers
// questions from a prepared list (then with each question's default).
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "core/user_interface.h"

namespace vexa::test {

class TScriptedUi : public TUserInterface {
 public:
  struct TMessage {
    TMessageKind Kind;
    std::string Text;
    std::string Cause;
  };

  void Progress(const TProgress& progress) override {
    Statuses.push_back(progress.Text);
    if (progress.Total >= 0) Counted.push_back(progress);
  }
  // Text holds the box layout, as a message box would show it.
  void ShowMessage(TMessageKind kind, std::string_view text, std::string_view cause) override {
    Messages.push_back({kind, MessageBoxText(text, cause), std::string(cause)});
  }
  void Changed(TChanges what) override {
    Changes.push_back(what);
    AllChanges |= what;
  }
  bool Ask(std::string_view text, std::string_view, bool noIsDefault) override {
    Questions.emplace_back(text);
    if (Answers.empty()) return !noIsDefault;
    const bool a = Answers.front();
    Answers.pop_front();
    return a;
  }
  bool StopRequested() override { return StopAfter >= 0 && ++Polls > StopAfter; }

  std::vector<std::string> Statuses;
  std::vector<TProgress> Counted;  // the progress records with a total
  std::vector<TChanges> Changes;
  TChanges AllChanges = 0;
  std::vector<TMessage> Messages;
  std::vector<std::string> Questions;
  std::deque<bool> Answers;
  int StopAfter = -1;  // polls answered "go on" before a stop is asked for
  int Polls = 0;
};

}  // namespace vexa::test
