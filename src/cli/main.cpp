#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "cli/cli.h"
#include "core/error.h"
#include "core/file_io.h"

namespace vexa::cli {
namespace {

std::filesystem::path ProgramFolder() {
  std::error_code ec;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::filesystem::current_path() : exe.parent_path();
}

int Run(std::vector<std::string> words) {
  std::string dataDirOption;
  while (!words.empty() && words.front().rfind("--", 0) == 0) {
    if (words.front() == "--data-dir" && words.size() >= 2) {
      if (words[1].empty()) throw EUsageError("пустое имя каталога в --data-dir");
      dataDirOption = words[1];
      words.erase(words.begin(), words.begin() + 2);
    } else if (words.front() == "--help") {
      std::cout << Usage();
      return ExitOk;
    } else {
      throw EUsageError("неизвестный параметр " + words.front());
    }
  }
  const std::filesystem::path dataDir = vexa::ResolveDataDir(dataDirOption, std::getenv("VEXA_DATA_DIR"), ProgramFolder());
  if (words.empty()) throw EUsageError("не указана команда");
  // Checked before the workspace opens: it would report every file it fails
  // to create there, one after another.
  std::error_code ec;
  if (words.front() != "help" && !std::filesystem::is_directory(dataDir, ec))
    throw vexa::EVexaError("Папка данных не найдена: " + dataDir.string());

  if (words.front() == "help") {
    std::cout << Usage();
    return ExitOk;
  }
  TTerminalUserInterface ui(std::cerr);
  TContext ctx{dataDir, std::cout, std::cerr, ui};
  return RunCommand(ctx, std::move(words));
}

}  // namespace
}  // namespace vexa::cli

int main(int argc, char** argv) {
  using namespace vexa::cli;
  std::vector<std::string> words(argv + 1, argv + argc);
  vexa::InstallTempFileCleanup();
  try {
    return Run(std::move(words));
  } catch (const EReported&) {
    return ExitFailed;
  } catch (const EUsageError& e) {
    std::cerr << "vexa: " << e.what() << "\n\n" << Usage();
    return ExitUsage;
  } catch (const vexa::EVexaError& e) {
    std::cerr << vexa::MessageLine(e.Message(), e.Cause()) << "\n";
    return ExitFailed;
  } catch (const std::exception& e) {
    std::cerr << e.what() << "\n";
    return ExitFailed;
  }
}
