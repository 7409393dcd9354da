#include <ostream>
#include <set>

#include "cli/cli.h"
#include "core/error.h"
#include "core/format.h"
#include "core/ini_file.h"
#include "core/list_compare.h"
#include "core/settings.h"

namespace vexa::cli {
namespace {

// Every key the program reads, with the value in effect, then whatever
// else the file holds.
int Show(TContext& ctx, TArgs& args) {
  if (!args.Positional().empty()) throw EUsageError("лишние параметры команды config show");
  const std::filesystem::path file = ctx.DataFile(SettingsFileExt);
  TIniFile stored(file, SettingsFileMode);  // throws the system's error text
  TConfigData config;
  TShredding shredding;
  TGenerateParams generate;
  TProxy proxy;
  ReadConfig(stored, config);
  ReadShredding(stored, shredding);
  ReadGenerateParams(stored, generate);
  ReadProxy(stored, proxy);

  // The effective values in the file's own notation: write them to an empty file in memory.
  TIniFile effective(ctx.DataDir / ".vexa-config-show-never-written");
  WriteConfig(effective, config);
  WriteGenerateParams(effective, generate);
  WriteShredding(effective, shredding);
  WriteProxy(effective, proxy);

  auto secret = [](std::string_view key, const std::string& value) {
    return CompareTextNoCase(key, "ProxyPassword") == 0 && !value.empty() ? std::string("***") : value;
  };
  ctx.Out << "Раздел\tКлюч\tЗначение\n";
  for (const std::string& section : effective.ReadSections()) {
    std::vector<std::string> keys = effective.ReadSection(section);
    for (const std::string& key : stored.ReadSection(section))
      if (!effective.ValueExists(section, key)) keys.push_back(key);
    for (const std::string& key : keys) {
      const std::string value = effective.ValueExists(section, key) ? effective.ReadString(section, key, "")
                                                                    : stored.ReadString(section, key, "");
      ctx.Out << section << '\t' << key << '\t' << secret(key, value) << '\n';
    }
  }
  for (const std::string& section : stored.ReadSections()) {
    if (effective.SectionExists(section)) continue;
    for (const std::string& key : stored.ReadSection(section))
      ctx.Out << section << '\t' << key << '\t' << secret(key, stored.ReadString(section, key, "")) << '\n';
  }
  return ExitOk;
}

int Set(TContext& ctx, TArgs& args) {
  const auto words = args.Positional();
  if (words.size() != 3) throw EUsageError("config set: нужны SECTION KEY VALUE");
  const std::filesystem::path file = ctx.DataFile(SettingsFileExt);
  try {
    TIniFile ini(file, SettingsFileMode);
    ini.WriteString(words[0], words[1], words[2]);
    ini.UpdateFile();
  } catch (const EVexaError& e) {
    throw EVexaError(Format(ConfigWriteErrorFormat, {std::string(e.what())}));
  }
  ctx.Out << words[0] << '\t' << words[1] << '\t' << words[2] << '\n';
  return ExitOk;
}

}  // namespace

int RunConfig(TContext& ctx, TArgs args) {
  const std::string sub = args.TakeFirst();
  if (sub == "show") return Show(ctx, args);
  if (sub == "set") return Set(ctx, args);
  throw EUsageError(sub.empty() ? "config: нужна подкоманда" : "config: неизвестная подкоманда " + sub);
}

}  // namespace vexa::cli
