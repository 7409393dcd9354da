// How the engine talks back to whoever runs it: the window, the terminal
// or a test double.
//
// Threads: while an operation runs on the window's worker thread, every
// call below comes from that worker. Progress and Changed must return at
// once (post to the UI thread); Ask blocks the worker until the UI thread
// has answered; StopRequested reads an atomic flag. None of them may call
// back into the workspace.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vexa {

enum class TMessageKind { Error, Information, Attention, Warning };

// The status bar's progress of a long operation.
struct TProgress {
  std::string Text;    // "" clears the panel
  int64_t Done = -1;   // -1 while not known
  int64_t Total = -1;  // -1 while not known
  std::string Detail;  // a second line under Text (the download's proxy attempts), or ""
};

// What an operation changed, so that views refresh on the event instead of
// knowing each operation's side effects.
enum TChange : uint32_t {
  ChangeArchive = 1u << 0,   // draws added, edited, deleted, imported, downloaded
  ChangeOffset = 1u << 1,    // DrawsOffset or the sorted display of draws
  ChangeCombs = 1u << 2,     // the combinations list, its undo copy or its log
  ChangeStakes = 1u << 3,    // the stakes file
  ChangeRatings = 1u << 4,   // the ratings or their sort
  ChangeTables = 1u << 5,    // the regular table stakes
  ChangeScript = 1u << 6,    // the script lines
  ChangeSettings = 1u << 7,  // settings, window settings, the method list
  ChangeBusy = 1u << 8,      // the busy counter went up from 0 or back to 0
  ChangeSystems = 1u << 9,   // the systems catalogue list or the local systems
  ChangeLibrary = 1u << 10,  // the online script library list
};
using TChanges = uint32_t;

class TUserInterface {
 public:
  virtual ~TUserInterface() = default;
  // Progress only: it never pumps events nor re-enters the caller.
  virtual void Progress(const TProgress& progress) = 0;
  // `text` names what failed (ending with "!"); `cause` is the underlying
  // error, "" when there is none. The front end lays the two out.
  virtual void ShowMessage(TMessageKind kind, std::string_view text, std::string_view cause) = 0;
  virtual bool Ask(std::string_view text, std::string_view title, bool noIsDefault) = 0;
  // Polled by every long loop; true makes the loop stop at its next check.
  virtual bool StopRequested() = 0;
  virtual void Changed(TChanges /*what*/) {}

  void SetStatus(std::string_view text) {
    TProgress p;
    p.Text = text;
    Progress(p);
  }
  void SetProgress(std::string_view text, int64_t done, int64_t total) {
    TProgress p;
    p.Text = text;
    p.Done = done;
    p.Total = total;
    Progress(p);
  }
  void Message(TMessageKind kind, std::string_view text, std::string_view cause = {}) {
    ShowMessage(kind, text, cause);
  }
};

// Throws EStopped when the user asked for a stop; for the long loops.
void ThrowIfStopped(TUserInterface& ui);

// The box layout of a message: the text, two line breaks, the cause.
std::string MessageBoxText(std::string_view text, std::string_view cause);
// One terminal line: the text, then the cause after a blank.
std::string MessageLine(std::string_view text, std::string_view cause);

// Says nothing, answers every question with its default.
class TSilentUserInterface : public TUserInterface {
 public:
  void Progress(const TProgress&) override {}
  void ShowMessage(TMessageKind, std::string_view, std::string_view) override {}
  bool Ask(std::string_view, std::string_view, bool noIsDefault) override { return !noIsDefault; }
  bool StopRequested() override { return false; }
};

}  // namespace vexa
