#pragma once

#include <string>
#include <string_view>

namespace cq {

// Root of the page cache, with a trailing separator.
std::string CacheFolder();

// The cache file of an address: CacheFolder + MD5 of the whole address + "/" + its last path
// segment (query dropped; "default.html" for an empty segment, ".html" added when it has no
// point). A segment the file system cannot take ("." or "..", too long) is replaced by a safe
// name, and windows-1251 letters become UTF-8, as file names are. Pure: creates nothing.
std::string CacheFileName(std::string_view url);

}  // namespace cq
