#pragma once

#include <atomic>
#include <exception>
#include <string>

#include "core/sites/Sites.h"

namespace cq {

// The folder, in the current directory, that receives the dumps.
inline constexpr const char* DumpFolder = "HMTL errors";

// The maintainer's marker: dumps are written only while this file exists.
std::string DumpMarkerPath();

// Writes a page that a scraper could not walk, so that its paths can be corrected:
// "<n>-<site>.html" holds the page as it was walked, "<n>-<site>.txt" the context line and a report
// of the failure. n counts the dumps of this dumper from 1. Does nothing without the marker; a
// file that cannot be written raises std::system_error.
class TPageDumper {
 public:
  void Dump(const TSite& site, const std::string& context, const std::string& pageText,
            const std::exception& failure);

 private:
  std::atomic<int> counter_{0};
};

// The process-wide dump, numbered across the whole run.
void DumpPage(const TSite& site, const std::string& context, const std::string& pageText,
              const std::exception& failure);

}  // namespace cq
