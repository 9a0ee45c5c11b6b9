#include "FuzzHome.h"

#include "support/PrivateHome.h"

namespace fs = std::filesystem;

namespace cq::fuzz {

fs::path IsolateHome() {
  std::error_code error;
  const fs::path parent =
      fs::is_directory("/dev/shm", error) ? fs::path("/dev/shm") : fs::temp_directory_path();
  return test::IsolateHome(parent);
}

}  // namespace cq::fuzz
