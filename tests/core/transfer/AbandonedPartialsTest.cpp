#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "core/transfer/Inet.h"

namespace fs = std::filesystem;

namespace cq {
namespace {

// A process id that no process has any more.
pid_t EndedProcess() {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  int status = 0;
  ::waitpid(child, &status, 0);
  return child;
}

std::string Hex(pid_t pid) {
  char text[16];
  std::snprintf(text, sizeof text, "%X", static_cast<unsigned>(pid));
  return text;
}

TEST(AbandonedPartials, OnlyThoseOfEndedProcessesGo) {
  const std::string page = CacheFileName("http://site.example/page.html");
  const fs::path folder = fs::path(page).parent_path();
  fs::create_directories(folder);
  const std::string ended = page + "_partial" + Hex(EndedProcess()) + "-0-1A2B";
  const std::string running = page + "_partial" + Hex(::getpid()) + "-3-0F0F";
  const std::string notOurs[] = {page, page + "_partialXYZ-0-1A2B", page + "_partial-0-1A2B",
                                 page + "_locked1A2B"};
  for (const std::string& name : {ended, running}) std::ofstream(name) << "part";
  for (const std::string& name : notOurs) std::ofstream(name) << "page";

  EXPECT_EQ(RemoveAbandonedPartials(), 1);
  EXPECT_FALSE(fs::exists(ended));
  EXPECT_TRUE(fs::exists(running));
  for (const std::string& name : notOurs) EXPECT_TRUE(fs::exists(name)) << name;
  EXPECT_EQ(RemoveAbandonedPartials(), 0);
}

}  // namespace
}  // namespace cq
