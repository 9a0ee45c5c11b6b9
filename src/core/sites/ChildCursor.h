#pragma once

#include <cstddef>
#include <string_view>

#include "core/sites/Parser.h"

namespace cq {

// The children of one name, counted from 1 as FindChild counts them, found by walking on from the
// one asked for last: reading rows 1, 2, ... N costs one pass over the list instead of one per row.
class TChildCursor {
 public:
  // The list and the name's text must outlive the cursor.
  TChildCursor(const TElemList& list, std::string_view name) : list_(&list), name_(name) {}

  // The same as FindChild(list, name, n); a number below the last one asked for starts over.
  TElem* At(int n);

 private:
  const TElemList* list_;
  std::string_view name_;
  std::size_t next_ = 0;   // where the walk goes on
  int found_ = 0;          // children of that name passed so far
  TElem* last_ = nullptr;  // the last of them
};

}  // namespace cq
