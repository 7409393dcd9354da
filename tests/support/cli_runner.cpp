#include "support/cli_runner.h"

#include <sys/wait.h>

#include <cstdlib>
#include <sstream>

#include "support/temp_dir.h"

namespace vexa::test {

std::string ShellQuote(const std::string& word) {
  std::string q = "'";
  for (char c : word) {
    if (c == '\'')
      q += "'\\''";
    else
      q += c;
  }
  return q + "'";
}

std::string CliCommand(const std::filesystem::path& dir, const std::vector<std::string>& args,
                       const TCliOptions& options) {
  // Nothing of the caller's environment may point the command elsewhere.
  std::string cmd = "env -u VEXA_DATA_DIR -u http_proxy -u HTTP_PROXY -u https_proxy -u HTTPS_PROXY";
  if (options.CLocale) cmd += " LC_ALL=C";
  cmd += " " + ShellQuote(VEXA_CLI_PATH);
  if (options.WithDataDir) cmd += " --data-dir " + ShellQuote(dir.string());
  for (const auto& a : args) cmd += " " + ShellQuote(a);
  return cmd;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TCliResult RunCli(const std::filesystem::path& dir, const std::vector<std::string>& args, const TCliOptions& options) {
  WriteBytes(dir / "in.txt", options.Input);
  const std::string cmd = CliCommand(dir, args, options) + " >" + ShellQuote((dir / "out.txt").string()) + " 2>" +
                          ShellQuote((dir / "err.txt").string()) + " <" + ShellQuote((dir / "in.txt").string());
  const int raw = std::system(cmd.c_str());
  TCliResult r;
  r.Status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.Out = ReadBytes(dir / "out.txt");
  r.Err = ReadBytes(dir / "err.txt");
  return r;
}

}  // namespace vexa::test
