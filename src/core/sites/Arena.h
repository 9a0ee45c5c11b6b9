#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <string_view>
#include <vector>

namespace cq {

// Bump allocator for one parse tree: the tree is freed as a handful of blocks, never node by
// node. Only trivially destructible objects live here.
class TArena {
 public:
  // `expected` is a guess of the total, so that small pages take one small block.
  explicit TArena(std::size_t expected) : nextBlock_(Clamp(expected)) {}

  // `align` is a power of two.
  void* Allocate(std::size_t size, std::size_t align = alignof(std::max_align_t)) {
    const std::uintptr_t at = (reinterpret_cast<std::uintptr_t>(cur_) + align - 1) & ~(align - 1);
    if (at + size > reinterpret_cast<std::uintptr_t>(end_)) return AllocateSlow(size, align);
    cur_ = reinterpret_cast<char*>(at + size);
    return reinterpret_cast<void*>(at);
  }

  template <class T>
  T* AllocateArray(std::size_t count) {
    return static_cast<T*>(Allocate(sizeof(T) * count, alignof(T)));
  }

  char* AllocateChars(std::size_t count) { return static_cast<char*>(Allocate(count, 1)); }

  std::string_view Copy(std::string_view text) {
    if (text.empty()) return {};
    char* chars = AllocateChars(text.size());
    std::memcpy(chars, text.data(), text.size());
    return {chars, text.size()};
  }

  // Gives back the unused end of the latest allocation.
  void Shrink(char* chars, std::size_t oldSize, std::size_t newSize) {
    if (chars + oldSize == cur_) cur_ = chars + newSize;
  }

  std::size_t BytesReserved() const { return reserved_; }

 private:
  static constexpr std::size_t kMinBlock = 4096;
  static constexpr std::size_t kMaxBlock = std::size_t{1} << 20;

  static std::size_t Clamp(std::size_t size) {
    return size < kMinBlock ? kMinBlock : size > kMaxBlock ? kMaxBlock : size;
  }

  [[gnu::noinline]] void* AllocateSlow(std::size_t size, std::size_t align) {
    if (size > nextBlock_ / 4) return AllocateAlone(size);
    NewBlock();
    return Allocate(size, align);
  }

  void NewBlock() {
    blocks_.push_back(std::make_unique_for_overwrite<char[]>(nextBlock_));
    reserved_ += nextBlock_;
    cur_ = blocks_.back().get();
    end_ = cur_ + nextBlock_;
    nextBlock_ = Clamp(nextBlock_ * 2);
  }

  // Large pieces get a block of their own and leave the current block as it is.
  void* AllocateAlone(std::size_t size) {
    blocks_.push_back(std::make_unique_for_overwrite<char[]>(size));
    reserved_ += size;
    return blocks_.back().get();
  }

  std::vector<std::unique_ptr<char[]>> blocks_;
  char* cur_ = nullptr;
  char* end_ = nullptr;
  std::size_t nextBlock_;
  std::size_t reserved_ = 0;
};

}  // namespace cq
