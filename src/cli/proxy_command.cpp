// vexa proxy: the proxy of the results download.
#include <ostream>

#include "cli/cli.h"
#include "core/game.h"
#include "core/settings.h"

namespace vexa::cli {
namespace {

void Print(TContext& ctx, const TProxy& proxy) {
  ctx.Out << "Ключ\tЗначение\n";
  ctx.Out << "ProxyMode\t" << proxy.Mode << '\n';
  ctx.Out << "ProxyServer\t" << proxy.Server << '\n';
  ctx.Out << "ProxyPort\t" << proxy.Port << '\n';
  ctx.Out << "ProxyUsername\t" << proxy.Username << '\n';
  ctx.Out << "ProxyPassword\t" << (proxy.Password.empty() ? "" : "***") << '\n';
}

int Show(TContext& ctx, TArgs& args) {
  if (!args.Positional().empty()) throw EUsageError("лишние параметры команды proxy show");
  TProxy proxy;
  ReadProxy(ctx.DataFile(SettingsFileExt), proxy);
  Print(ctx, proxy);
  return ExitOk;
}

int Set(TContext& ctx, TArgs& args) {
  const auto words = args.Positional();
  const std::string mode = words.empty() ? "" : words[0];
  TProxy values;
  if (mode == "off" && words.size() == 1) {
    values.Mode = ProxyModeNone;
  } else if (mode == "auto" && words.size() == 1) {
    values.Mode = ProxyModeAuto;
  } else if (mode == "manual" && (words.size() == 3 || words.size() == 5)) {
    values.Mode = ProxyModeManual;
    values.Server = std::string(Trim(words[1]));
    if (values.Server.empty()) throw EUsageError("proxy set manual: пустое имя сервера");
    values.Port = TArgs::ToInt(words[2], "PORT");
    if (values.Port < 1 || values.Port > 65535) throw EUsageError("PORT: число от 1 до 65535");
    if (words.size() == 5) {
      values.Username = words[3];
      values.Password = words[4];
    }
  } else {
    throw EUsageError("proxy set (off | auto | manual HOST PORT [USER PASSWORD])");
  }
  auto ws = OpenWorkspace(ctx);
  if (!ws->EditProxy(values)) throw EReported();
  Print(ctx, ws->Proxy());
  return ExitOk;
}

}  // namespace

const TCommandGroup ProxyCommands{
    "proxy",
    {
        {"show", "", "параметры proxy-сервера загрузки тиражей", Show},
        {"set", "(off | auto | manual HOST PORT [USER PASSWORD])",
         "не использовать / искать автоматически / задать proxy", Set},
    }};

}  // namespace vexa::cli
