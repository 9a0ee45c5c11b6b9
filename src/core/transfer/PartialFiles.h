#pragma once

#include <string>
#include <string_view>

namespace cq {

// A download is written beside its cache file under a name of its own, so that two fetches of
// one address never share a file, and locked while it is written (TLockedFile), so that one
// whose writer ended can be told from one still in progress.
std::string PartialFileName(std::string_view cacheFile);

// Moves a finished partial file into place atomically and answers where it went: readers see the
// older copy or the new one, never a part. When that cannot be done, the older copy is removed or
// set aside, and failing that the new one is stored beside it under a name of its own.
std::string InstallPartial(const std::string& partial, const std::string& cacheFile);

// Removes the partial files that ended downloads left in the cache (a program killed
// mid-transfer cannot remove its own); those still being written stay. Answers how many went.
int RemoveAbandonedPartials();

}  // namespace cq
