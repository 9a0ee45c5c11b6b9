#pragma once

namespace cq {

// Removes the page cache's folders (one per cached address) whose own modification time is at
// least `maxAgeDays` whole days away from now; 0 removes them all. Names beginning with "." are
// left alone, as are plain files in the cache root, subfolders and anything behind a symbolic
// link. Failures are ignored: a folder in use is simply kept.
void CleanCache(int maxAgeDays);

}  // namespace cq
