// Writes the sample MP3 files into the folder named by the first argument.

#include <exception>
#include <filesystem>
#include <iostream>

#include "support/mp3_builder.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: make_samples <folder>\n";
    return 2;
  }
  try {
    const std::filesystem::path folder = argv[1];
    for (const fixtures::Sample& sample : fixtures::sample_files()) {
      fixtures::write_file(folder / sample.name, sample.bytes);
      std::cout << sample.name << ' ' << sample.bytes.size() << '\n';
    }
  } catch (const std::exception& e) {
    std::cerr << "make_samples: " << e.what() << '\n';
    return 1;
  }
  return 0;
}
