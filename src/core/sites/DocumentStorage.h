#pragma once

#include "core/sites/Arena.h"
#include "core/sites/Parser.h"

namespace cq {

// A document's elements, names and lists all live in one arena, freed with the document.
struct TDocument::TStorage {
  explicit TStorage(std::size_t expected) : arena(expected) {}
  TArena arena;
};

}  // namespace cq
