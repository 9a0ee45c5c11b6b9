// The language file at hostile sizes: start-up (the language list and a lookup) on a file of a
// million sections, and a translate-all pass that adds keys to a 31 MB file.
// Usage: language_file_bench [SECTIONS] [MISSING_KEYS]   (defaults 1000000 and 300).
// Exit status 1 when a target is missed.
#include <time.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "BenchSupport.h"
#include "core/config/Translation.h"

namespace fs = std::filesystem;

using Clock = cq::bench::CpuClock;

namespace {

constexpr double kMaxStartSeconds = 15.0;
constexpr double kMaxBurstSeconds = 5.0;

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

fs::path WriteFile(const fs::path& folder, const std::string& name, std::size_t sections,
                   std::size_t keysPerSection) {
  const fs::path path = folder / name;
  std::ofstream file(path, std::ios::binary);
  for (std::size_t s = 0; s < sections; ++s) {
    file << "[Language " << s << "]\r\n";
    for (std::size_t k = 0; k < keysPerSection; ++k) {
      file << "Forms.MainForm.Key" << k << "=text of the key\r\n";
    }
  }
  return path;
}

}  // namespace

int main(int argc, char** argv) {
  const std::size_t sections = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 1000000;
  const std::size_t missing = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 300;
  const fs::path folder = fs::temp_directory_path() / "cq-language-bench";
  fs::remove_all(folder);
  fs::create_directories(folder);

  const fs::path many = WriteFile(folder, "Sections.ini", sections, 1);
  auto start = Clock::now();
  cq::OpenLanguageFile(many.string());
  const std::size_t languages = cq::LanguageList().size();
  const std::string last = "Language " + std::to_string(sections - 1);
  const bool found =
      languages == sections && cq::Translate(last, "Forms.MainForm.Key0", "") == "text of the key";
  const double startSeconds = SecondsSince(start);
  std::printf("%zu sections: language list and a lookup %.2f s (target %.0f s)\n", sections,
              startSeconds, kMaxStartSeconds);

  // About 31 MB in one section.
  const fs::path big = WriteFile(folder, "Big.ini", 1, 750000);
  cq::OpenLanguageFile(big.string());
  cq::LanguageList();
  start = Clock::now();
  {
    const cq::TTranslationBurst pass;
    for (std::size_t k = 0; k < missing; ++k) {
      cq::Translate("Language 0", "Forms.New.Key" + std::to_string(k), "new text");
    }
  }
  const bool written = cq::Translate("Language 0", "Forms.New.Key0", "") == "new text";
  const double burstSeconds = SecondsSince(start);
  std::printf("%ju bytes: %zu missing keys added in %.2f s (target %.0f s)\n",
              static_cast<std::uintmax_t>(fs::file_size(big)), missing, burstSeconds,
              kMaxBurstSeconds);

  fs::remove_all(folder);
  if (!found || !written) std::printf("a key was not found where it should be\n");
  return found && written && startSeconds < kMaxStartSeconds && burstSeconds < kMaxBurstSeconds ? 0
                                                                                                : 1;
}
