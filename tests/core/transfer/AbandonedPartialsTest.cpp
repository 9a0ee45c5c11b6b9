#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <list>

#include "core/platform/LockedFile.h"
#include "core/transfer/CacheNames.h"
#include "core/transfer/PartialFiles.h"

namespace fs = std::filesystem;

namespace cq {
namespace {

// A partial lives while its writer holds the lock, whatever its name says: neither a process id
// that is ours (reused, or still running) nor one no process has decides.
TEST(AbandonedPartials, OnlyUnlockedPartialsGo) {
  const std::string page = CacheFileName("http://site.example/page.html");
  fs::create_directories(fs::path(page).parent_path());
  const struct {
    std::string name;
    bool locked;
    bool kept;
  } files[] = {
      {PartialFileName(page), true, true},
      {PartialFileName(page), false, false},
      // No process has an id this high.
      {page + "_partial7FFFFFF0-0-1A2B", true, true},
      // Process 1 runs as long as the system does.
      {page + "_partial1-3-0F0F", false, false},
      {page, false, true},
      {page + "_partialXYZ-0-1A2B", false, true},
      {page + "_partial-0-1A2B", false, true},
      {page + "_locked1A2B", false, true},
  };
  std::list<TLockedFile> writers;
  for (const auto& file : files) {
    if (file.locked) {
      ASSERT_FALSE(writers.emplace_back().Create(file.name)) << file.name;
    } else {
      std::ofstream(file.name) << "part";
    }
  }

  EXPECT_EQ(RemoveAbandonedPartials(), 2);
  for (const auto& file : files) EXPECT_EQ(fs::exists(file.name), file.kept) << file.name;
  writers.clear();
  EXPECT_EQ(RemoveAbandonedPartials(), 2);
}

}  // namespace
}  // namespace cq
