#pragma once

#include <cstddef>
#include <exception>
#include <mutex>
#include <string>

#include "core/sites/Sites.h"

namespace cq {

// The folder, in the current directory, that receives the dumps.
inline constexpr const char* DumpFolder = "HMTL errors";

// The most of a page a dump keeps: a hostile page must not fill the disk.
inline constexpr std::size_t DumpPageLimit = 2u << 20;

// The maintainer's marker: dumps are written only while this file exists.
std::string DumpMarkerPath();

// Writes a page that a scraper could not walk, so that its paths can be corrected:
// "<n>-<site>.html" holds the page as it was walked (its first DumpPageLimit bytes),
// "<n>-<site>.txt" the context line and a report of the failure. n goes on from the highest
// number in the folder and never takes the name of an existing file, whoever wrote it. Does
// nothing without the marker; a file that cannot be written raises std::system_error.
class TPageDumper {
 public:
  void Dump(const TSite& site, const std::string& context, const std::string& pageText,
            const std::exception& failure);

 private:
  std::mutex numbering_;
  int lastNumber_ = 0;
};

// The process-wide dump, numbered across the whole run.
void DumpPage(const TSite& site, const std::string& context, const std::string& pageText,
              const std::exception& failure);

}  // namespace cq
