#include <ostream>
#include <string_view>

#include "cli/cli.h"
#include "core/game.h"

namespace vexa::cli {

void TTerminalUserInterface::ShowMessage(TMessageKind, std::string_view text, std::string_view cause) {
  Err_ << MessageLine(text, cause) << "\n";
}

std::unique_ptr<TWorkspace> OpenWorkspace(TContext& ctx, bool withCombs) {
  auto ws = std::make_unique<TWorkspace>(ctx.DataDir, ctx.Ui);
  if (ws->Open() > 0) throw EReported();
  if (withCombs) ws->CombsInit();
  return ws;
}

std::string TArgs::TakeOption(const std::string& name, bool& found) {
  found = false;
  for (size_t i = 0; i < Words_.size(); ++i) {
    if (Words_[i] != name) continue;
    if (i + 1 >= Words_.size()) throw EUsageError("параметру " + name + " нужно значение");
    std::string value = Words_[i + 1];
    Words_.erase(Words_.begin() + static_cast<std::ptrdiff_t>(i), Words_.begin() + static_cast<std::ptrdiff_t>(i) + 2);
    found = true;
    return value;
  }
  return "";
}

bool TArgs::TakeFlag(const std::string& name) {
  for (size_t i = 0; i < Words_.size(); ++i) {
    if (Words_[i] == name) {
      Words_.erase(Words_.begin() + static_cast<std::ptrdiff_t>(i));
      return true;
    }
  }
  return false;
}

std::string TArgs::TakeFirst() {
  if (Words_.empty()) return "";
  std::string w = Words_.front();
  Words_.erase(Words_.begin());
  return w;
}

std::vector<std::string> TArgs::Positional() const {
  for (const auto& w : Words_)
    if (w.size() > 2 && w.rfind("--", 0) == 0) throw EUsageError("неизвестный параметр " + w);
  return Words_;
}

int TArgs::ToInt(const std::string& text, const std::string& what) {
  int32_t v = 0;
  if (!TryStrToInt(text, v)) throw EUsageError(what + ": не число: " + text);
  return v;
}

const std::vector<const TCommandGroup*>& CommandGroups() {
  static const std::vector<const TCommandGroup*> groups = {
      &DrawsCommands, &ProxyCommands,  &ConfigCommands, &StatsCommands,  &FullSetCommands,
      &CombsCommands, &StakesCommands, &RatingsCommands, &TablesCommands, &ScriptCommands, &ViewsCommands,
      &ExportCommands, &UpdateCommands, &SystemsCommands, &LibraryCommands, &OnlineCommands,
  };
  return groups;
}

int RunCommand(TContext& ctx, std::vector<std::string> words) {
  if (words.empty()) throw EUsageError("не указана команда");
  const std::string group = words.front();
  for (const TCommandGroup* g : CommandGroups()) {
    if (group != g->Name) continue;
    if (words.size() < 2) throw EUsageError(group + ": нужна подкоманда");
    const std::string name = words[1];
    for (const TCommand& c : g->Commands) {
      if (name != c.Name) continue;
      TArgs args(std::vector<std::string>(words.begin() + 2, words.end()));
      return c.Run(ctx, args);
    }
    throw EUsageError(group + ": неизвестная подкоманда " + name);
  }
  throw EUsageError("неизвестная команда " + group);
}

std::string Usage() {
  // The help column starts here; a longer command puts its help on the next line.
  constexpr size_t HelpColumn = 23;
  std::string out =
      "Использование: vexa [--data-dir DIR] КОМАНДА ...\n"
      "\n"
      "Папка данных: --data-dir DIR, иначе VEXA_DATA_DIR, иначе папка программы.\n"
      "\n"
      "Команды:\n";
  auto lines = [](std::string_view text) {
    std::vector<std::string> result;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string_view::npos; start = end + 1)
      result.emplace_back(text.substr(start, end - start));
    result.emplace_back(text.substr(start));
    return result;
  };
  for (const TCommandGroup* g : CommandGroups()) {
    for (const TCommand& c : g->Commands) {
      std::vector<std::string> head = lines(c.Args);
      head.front() = std::string("  ") + g->Name + " " + c.Name + (head.front().empty() ? "" : " " + head.front());
      for (size_t i = 1; i < head.size(); ++i) head[i] = std::string(4 + std::string(g->Name).size() + std::string(c.Name).size(), ' ') + head[i];
      const std::vector<std::string> help = lines(c.Help);
      size_t h = 0;
      for (size_t i = 0; i < head.size(); ++i) {
        out += head[i];
        if (i + 1 == head.size() && head[i].size() + 1 < HelpColumn) {
          out += std::string(HelpColumn - head[i].size(), ' ') + help[h++];
        }
        out += '\n';
      }
      for (; h < help.size(); ++h) out += std::string(HelpColumn, ' ') + help[h] + '\n';
    }
  }
  return out;
}

std::string TsvCell(std::string_view text) {
  std::string cell(text);
  for (char& c : cell)
    if (c == '\t' || c == '\r' || c == '\n') c = ' ';
  return cell;
}

}  // namespace vexa::cli
