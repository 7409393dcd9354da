// vexa draws download: new draws from the results site, month by month.
#include <iostream>
#include <string>

#include "acquire/download.h"
#include "cli/cli.h"
#include "core/error.h"
#include "core/format.h"
#include "core/game.h"

namespace vexa::cli {
namespace {

// A failing month is retried this many times in a row under --yes, so an
// unattended run against a dead site ends.
constexpr int MaxUnattendedRetries = 3;

// Messages as the terminal shows them; the retry question is answered by
// --yes / --no, or read from the terminal (end of input answers No).
class TDownloadUi : public TUserInterface {
 public:
  enum class TAnswer { Ask, Yes, No };

  TDownloadUi(TUserInterface& inner, std::ostream& err, TAnswer answer) : Inner_(inner), Err_(err), Answer_(answer) {}

  // Proxy attempts show in the wait window of the program; here on stderr.
  void Progress(const TProgress& progress) override {
    if (!progress.Detail.empty() && progress.Detail != LastDetail_) Err_ << progress.Detail << '\n';
    LastDetail_ = progress.Detail;
    Inner_.Progress(progress);
  }
  void ShowMessage(TMessageKind kind, std::string_view text, std::string_view cause) override {
    Inner_.Message(kind, text, cause);
  }
  bool StopRequested() override { return Inner_.StopRequested(); }
  bool Ask(std::string_view text, std::string_view, bool) override {
    Err_ << Lines(text) << '\n';
    bool yes = false;
    switch (Answer_) {
      case TAnswer::Yes:
        yes = ++Retries_ <= MaxUnattendedRetries;
        break;
      case TAnswer::No:
        break;
      case TAnswer::Ask: {
        Err_ << "[д/н, y/n]: " << std::flush;
        std::string line;
        if (std::getline(std::cin, line)) {
          const std::string_view a = Trim(line);
          yes = a == "y" || a == "Y" || a == "yes" || a == "д" || a == "Д" || a == "да";
        }
        break;
      }
    }
    Err_ << (yes ? "Повтор.\n" : "Нет.\n");
    return yes;
  }

  void MonthDone() { Retries_ = 0; }

  static std::string Lines(std::string_view text) {
    std::string t(text);
    for (char& c : t)
      if (c == '\r') c = '\n';
    return t;
  }

 private:
  TUserInterface& Inner_;
  std::ostream& Err_;
  TAnswer Answer_;
  int Retries_ = 0;
  std::string LastDetail_;
};

}  // namespace

int RunDrawsDownload(TContext& ctx, TArgs& args) {
  bool hasBase = false;
  const std::string baseUrl = args.TakeOption("--base-url", hasBase);
  const bool yes = args.TakeFlag("--yes");
  const bool no = args.TakeFlag("--no");
  if (yes && no) throw EUsageError("draws download: --yes и --no вместе");
  if (!args.Positional().empty()) throw EUsageError("лишние параметры команды draws download");
  if (hasBase && baseUrl.empty()) throw EUsageError("--base-url: пустой адрес");

  TDownloadUi ui(ctx.Ui, ctx.Err, yes ? TDownloadUi::TAnswer::Yes : no ? TDownloadUi::TAnswer::No : TDownloadUi::TAnswer::Ask);
  TContext downloadCtx{ctx.DataDir, ctx.Out, ctx.Err, ui};
  auto ws = OpenWorkspace(downloadCtx);

  TDownloadOptions options;
  options.BaseUrl = baseUrl;
  bool header = false;
  options.OnMonth = [&](int cursor, int added) {
    if (!header) ctx.Out << "Страница\tДобавлено\n";
    header = true;
    ctx.Out << MonthPageName(cursor) << '\t' << added << '\n' << std::flush;
    ui.MonthDone();
  };
  const TDownloadResult result = ws->DrawsDownload(std::move(options));
  ctx.Err << Format("Прочитано страниц: %d, добавлено тиражей: %d", {result.Pages, result.Added}) << '\n';
  if (!result.Completed) {
    ctx.Err << "Загрузка остановлена; тиражи прочитанных месяцев сохранены.\n";
    return ExitFailed;
  }
  return ExitOk;
}

}  // namespace vexa::cli
