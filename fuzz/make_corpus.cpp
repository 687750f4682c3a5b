// Writes the seed inputs of every fuzz target with the project's own writers:
//   make_corpus FOLDER
// gives FOLDER/<target>/seed-N for each target. Existing files are replaced;
// inputs the fuzzer has added beside them stay.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "seeds.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_corpus FOLDER\n");
    return 2;
  }
  namespace fs = std::filesystem;
  std::size_t count = 0;
  for (const auto& [target, seeds] : kz::fuzz::AllSeeds()) {
    const fs::path folder = fs::path(argv[1]) / target;
    fs::create_directories(folder);
    for (std::size_t i = 0; i < seeds.size(); ++i) {
      std::ofstream out(folder / ("seed-" + std::to_string(i + 1)), std::ios::binary);
      out.write(seeds[i].data(), static_cast<std::streamsize>(seeds[i].size()));
      if (!out) {
        std::perror(folder.c_str());
        return 1;
      }
      ++count;
    }
  }
  std::printf("%zu seeds written to %s\n", count, argv[1]);
  return 0;
}
