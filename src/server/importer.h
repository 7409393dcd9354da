// Seeding the store from files: systems in the local store's file form
// "6-NN-B_IIII.dat" and scripts as their library text.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

#include "server/store.h"

namespace vexa::server {

struct TImportOptions {
  std::string Author = "Vexa";
  std::string Title;  // scripts: only with a single file
  std::string Descr;
  bool Universal = true;
};

// Every "6-NN-B_IIII.dat" in each folder (sorted by name), checked as a
// published system would be. Title and description come from a sibling
// "6-NN-B_IIII.txt" (first line the title, the rest the description) when
// there is one, else they are made up from N, B and the count. The id IIII is
// kept when it is still free. Returns the number of files that failed.
int ImportSystems(TStore& store, const std::vector<std::filesystem::path>& folders, const TImportOptions& options,
                  std::ostream& out, std::ostream& err);

// Each file is a script's text (UTF-8). Title: the option, else the first
// line of a sibling "<stem>.txt", else the stem; description: the option,
// else the rest of that file. Returns the number of files that failed.
int ImportScripts(TStore& store, const std::vector<std::filesystem::path>& files, const TImportOptions& options,
                  std::ostream& out, std::ostream& err);

}  // namespace vexa::server
