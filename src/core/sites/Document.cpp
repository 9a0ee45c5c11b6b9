#include <cstddef>
#include <type_traits>

#include "core/sites/DocumentStorage.h"

namespace cq {

TDocument::TDocument() = default;
TDocument::~TDocument() = default;

std::size_t TDocument::MemoryUsed() const {
  return storage_->arena.BytesReserved();
}

TElem* TElemList::Owner() const {
  static_assert(std::is_standard_layout_v<TElem> && offsetof(TElem, children_) == 0);
  return reinterpret_cast<TElem*>(const_cast<TElemList*>(this));
}

}  // namespace cq
