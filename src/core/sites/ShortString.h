#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace cq {

// A text of at most 255 bytes held in place; longer values are cut when stored.
class ShortString {
 public:
  static constexpr std::size_t Capacity = 255;

  ShortString() = default;
  ShortString(std::string_view text) { Assign(text); }    // NOLINT: converts like a string
  ShortString(const std::string& text) { Assign(text); }  // NOLINT
  ShortString(const char* text) { Assign(text != nullptr ? text : ""); }  // NOLINT

  ShortString& operator=(std::string_view text) {
    Assign(text);
    return *this;
  }
  ShortString& operator=(const std::string& text) { return *this = std::string_view(text); }
  ShortString& operator=(const char* text) {
    return *this = std::string_view(text != nullptr ? text : "");
  }

  // Whether `text` is kept whole. An address that is not would be cut into another address.
  static bool Fits(std::string_view text) { return text.size() <= Capacity; }

  std::string_view view() const { return {data_.data(), size_}; }
  std::string str() const { return std::string(view()); }
  operator std::string_view() const { return view(); }  // NOLINT
  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }

  friend bool operator==(const ShortString& a, const ShortString& b) {
    return a.view() == b.view();
  }
  friend bool operator==(const ShortString& a, std::string_view b) { return a.view() == b; }
  // Exact matches, so that comparing with a literal or a std::string is not ambiguous.
  friend bool operator==(const ShortString& a, const char* b) {
    return a.view() == std::string_view(b != nullptr ? b : "");
  }
  friend bool operator==(const ShortString& a, const std::string& b) { return a.view() == b; }

 private:
  void Assign(std::string_view text) {
    size_ = static_cast<std::uint8_t>(text.size() < Capacity ? text.size() : Capacity);
    if (size_ > 0) std::memcpy(data_.data(), text.data(), size_);
  }

  std::array<char, Capacity> data_{};
  std::uint8_t size_ = 0;
};

}  // namespace cq
