#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace cq {

// A YAML document as a small tree of maps, lists and texts, each with its line (from 1; 0 when
// it has none, as the missing node and the empty document).
class TYamlNode {
 public:
  enum class EKind { Missing, Null, Scalar, Sequence, Map };

  TYamlNode() = default;
  TYamlNode(EKind kind, int line) : kind_(kind), line_(line) {}

  // False for a key a map does not have: `if (map["key"])`.
  explicit operator bool() const { return kind_ != EKind::Missing; }
  bool IsScalar() const { return kind_ == EKind::Scalar; }
  bool IsSequence() const { return kind_ == EKind::Sequence; }
  bool IsMap() const { return kind_ == EKind::Map; }
  int Line() const { return line_; }
  const std::string& Scalar() const { return text_; }

  // A list's items, or a map's entries.
  std::size_t size() const { return IsMap() ? children_.size() / 2 : children_.size(); }
  const TYamlNode& operator[](std::size_t index) const { return children_[index]; }
  const std::vector<TYamlNode>& Items() const { return children_; }
  const TYamlNode& Key(std::size_t entry) const { return children_[2 * entry]; }
  // The value of the first entry whose key is the text `key`; a missing node when none is.
  const TYamlNode& operator[](std::string_view key) const;

 private:
  friend class TYamlBuilder;

  EKind kind_ = EKind::Missing;
  int line_ = 0;
  std::string text_;
  std::vector<TYamlNode> children_;  // a map's keys and values in turn
};

struct TYamlError {
  int Line = 0;
  std::string Text;
};

// Reads the first document of `text` (UTF-8). False with the first error, which is also what an
// alias or a nesting deeper than MaxYamlDepth is.
bool ReadYaml(std::string_view text, TYamlNode& root, TYamlError& error);

inline constexpr int MaxYamlDepth = 64;

}  // namespace cq
