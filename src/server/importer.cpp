#include "server/importer.h"

#include <algorithm>
#include <ctime>
#include <fstream>
#include <ostream>
#include <regex>
#include <sstream>

#include "server/sqlite_db.h"
#include "server/validate.h"

namespace vexa::server {
namespace {

std::string ReadWhole(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw EServiceError("не удалось прочитать файл");
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// The first line and the rest of a description file, if there is one.
bool ReadSidecar(const std::filesystem::path& file, std::string& title, std::string& descr) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec)) return false;
  const std::string text = ReadWhole(file);
  const size_t end = text.find('\n');
  title = Trimmed(text.substr(0, end));
  descr = end == std::string::npos ? std::string() : Trimmed(text.substr(end + 1));
  return true;
}

// Line ends as the clients send them: CR LF, none after the last line.
std::string WithCrLf(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '\r') continue;
    if (c == '\n') out += '\r';
    out += c;
  }
  while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
  return out;
}

int64_t CountLines(std::string_view text) {
  int64_t n = 0;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    if (!Trimmed(text.substr(0, end)).empty()) ++n;
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
  }
  return n;
}

}  // namespace

int ImportSystems(TStore& store, const std::vector<std::filesystem::path>& folders, const TImportOptions& options,
                  std::ostream& out, std::ostream& err) {
  static const std::regex name(R"(6-(\d{2})-(\d)_(\d{4,9})\.dat)");
  int failed = 0;
  for (const auto& folder : folders) {
    std::vector<std::filesystem::path> files;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(folder, ec))
      if (e.is_regular_file()) files.push_back(e.path());
    if (ec) {
      err << folder.string() << ": " << ec.message() << "\n";
      ++failed;
      continue;
    }
    std::sort(files.begin(), files.end());
    for (const auto& file : files) {
      std::smatch m;
      const std::string base = file.filename().string();
      if (!std::regex_match(base, m, name)) continue;
      try {
        TSystemPut sys;
        sys.Nums = std::stoll(m[1]);
        sys.Olap = std::stoll(m[2]);
        if (sys.Nums < MinSystemNums || sys.Nums > MaxSystemNums) throw EServiceError("Недопустимое количество чисел");
        if (sys.Olap > MaxSystemOlap) throw EServiceError("Недопустимый размер блока");
        const std::string text = ReadWhole(file);
        sys.CSize = CountLines(text);
        sys.Combs = CheckSystemCombs(text, sys.Nums, sys.CSize);
        std::string title, descr;
        if (ReadSidecar(std::filesystem::path(file).replace_extension(".txt"), title, descr)) {
          sys.Title = title;
          sys.Descr = descr;
        } else {
          sys.Title = std::to_string(sys.Nums) + " чисел, блок " + std::to_string(sys.Olap) + ", " +
                      std::to_string(sys.CSize) + " комбинаций";
          sys.Descr = "Система на " + std::to_string(sys.Nums) + " чисел: " + std::to_string(sys.CSize) +
                      " комбинаций, совпадение не меньше " + std::to_string(sys.Olap) + ".";
        }
        if (!options.Descr.empty()) sys.Descr = options.Descr;
        sys.Title = CheckTitle(sys.Title);
        const int64_t id =
            store.ImportSystem(sys, options.Author, std::stoll(m[3]), static_cast<int64_t>(std::time(nullptr)));
        out << base << "\t" << id << "\t" << sys.Title << "\n";
      } catch (const std::exception& e) {
        err << base << ": " << e.what() << "\n";
        ++failed;
      }
    }
  }
  return failed;
}

int ImportScripts(TStore& store, const std::vector<std::filesystem::path>& files, const TImportOptions& options,
                  std::ostream& out, std::ostream& err) {
  int failed = 0;
  for (const auto& file : files) {
    try {
      TScriptPut scr;
      scr.Universal = options.Universal;
      scr.Script = WithCrLf(ReadWhole(file));
      if (scr.Script.size() > MaxScriptBytes) throw EServiceError("Сценарий больше 1 МБ");
      if (scr.Script.empty()) throw EServiceError("Пустой сценарий");
      CheckText("Сценарий", scr.Script, MaxScriptBytes);
      std::string title, descr;
      const auto sidecar = std::filesystem::path(file).replace_extension(".txt");
      if (sidecar == file || !ReadSidecar(sidecar, title, descr))
        title = file.stem().string();
      scr.Title = CheckTitle(options.Title.empty() ? title : options.Title);
      scr.Descr = options.Descr.empty() ? descr : options.Descr;
      CheckText("Описание", scr.Descr, MaxDescrChars);
      const int64_t id = store.ImportScript(scr, options.Author, static_cast<int64_t>(std::time(nullptr)));
      out << file.filename().string() << "\t" << id << "\t" << scr.Title << "\n";
    } catch (const std::exception& e) {
      err << file.filename().string() << ": " << e.what() << "\n";
      ++failed;
    }
  }
  return failed;
}

}  // namespace vexa::server
