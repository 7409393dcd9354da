// Build step: the method help pages and the user's guide into a folder.
//   vexa_help_gen OUTPUT_DIR GUIDE_HTML
#include <filesystem>
#include <iostream>

#include "acquire/demo_draws.h"
#include "stats/stat_list.h"
#include "tabs/help_pages.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: vexa_help_gen OUTPUT_DIR GUIDE_HTML\n";
    return 2;
  }
  try {
    const std::filesystem::path out = argv[1];
    const vexa::TDrawsArray draws = vexa::GenerateDemoDraws(vexa::gui::HelpExampleDraws, vexa::gui::HelpExampleSeed);
    vexa::TStatList list(draws);
    list.RegisterAll();
    const int pages = vexa::gui::WriteHelpPages(list, out);
    std::filesystem::copy_file(argv[2], out / "index.html", std::filesystem::copy_options::overwrite_existing);
    std::cout << pages << " pages\n";
  } catch (const std::exception& e) {
    std::cerr << e.what() << "\n";
    return 1;
  }
  return 0;
}
