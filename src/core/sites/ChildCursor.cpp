#include "core/sites/ChildCursor.h"

#include "core/platform/Text.h"

namespace cq {

TElem* TChildCursor::At(int n) {
  if (n < 1) return nullptr;
  if (n < found_) {
    next_ = 0;
    found_ = 0;
    last_ = nullptr;
  }
  while (found_ < n && next_ < list_->Count()) {
    TElem* child = (*list_)[next_++];
    if (EqualsIgnoringLatinCase(child->Name(), name_)) {
      ++found_;
      last_ = child;
    }
  }
  return found_ == n ? last_ : nullptr;
}

}  // namespace cq
