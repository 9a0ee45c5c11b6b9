#include "core/sites/definitions/YamlTree.h"

#include <yaml.h>

#include <memory>

namespace cq {

const TYamlNode& TYamlNode::operator[](std::string_view key) const {
  static const TYamlNode missing;
  if (!IsMap()) return missing;
  for (std::size_t i = 0; i + 1 < children_.size(); i += 2) {
    if (children_[i].IsScalar() && children_[i].text_ == key) return children_[i + 1];
  }
  return missing;
}

// Turns libyaml's events into nodes; open lists and maps wait on a stack.
class TYamlBuilder {
 public:
  explicit TYamlBuilder(TYamlNode& root) : root_(root) {}

  // False when the event cannot be taken; `error` says why.
  bool Take(const yaml_event_t& event, TYamlError& error) {
    const int line = static_cast<int>(event.start_mark.line) + 1;
    switch (event.type) {
      case YAML_SCALAR_EVENT:
        Add(Scalar(event, line));
        return true;
      case YAML_SEQUENCE_START_EVENT:
      case YAML_MAPPING_START_EVENT:
        if (open_.size() >= MaxYamlDepth) {
          error = {line, "lists and maps are nested deeper than " + std::to_string(MaxYamlDepth) +
                             " levels"};
          return false;
        }
        open_.emplace_back(event.type == YAML_MAPPING_START_EVENT ? TYamlNode::EKind::Map
                                                                  : TYamlNode::EKind::Sequence,
                           line);
        return true;
      case YAML_SEQUENCE_END_EVENT:
      case YAML_MAPPING_END_EVENT: {
        TYamlNode done = std::move(open_.back());
        open_.pop_back();
        Add(std::move(done));
        return true;
      }
      case YAML_ALIAS_EVENT:
        error = {line, "aliases (*name) are not allowed"};
        return false;
      default:
        return true;
    }
  }

  bool Complete() const { return complete_; }

 private:
  static TYamlNode Scalar(const yaml_event_t& event, int line) {
    const auto& scalar = event.data.scalar;
    std::string text(reinterpret_cast<const char*>(scalar.value), scalar.length);
    const bool plain = scalar.style == YAML_PLAIN_SCALAR_STYLE;
    if (plain &&
        (text.empty() || text == "~" || text == "null" || text == "Null" || text == "NULL")) {
      return TYamlNode(TYamlNode::EKind::Null, line);
    }
    TYamlNode node(TYamlNode::EKind::Scalar, line);
    node.text_ = std::move(text);
    return node;
  }

  void Add(TYamlNode node) {
    if (open_.empty()) {
      root_ = std::move(node);
      complete_ = true;
    } else {
      open_.back().children_.push_back(std::move(node));
    }
  }

  TYamlNode& root_;
  std::vector<TYamlNode> open_;
  bool complete_ = false;
};

bool ReadYaml(std::string_view text, TYamlNode& root, TYamlError& error) {
  root = TYamlNode(TYamlNode::EKind::Null, 0);
  yaml_parser_t parser;
  if (yaml_parser_initialize(&parser) == 0) {
    error = {0, "out of memory"};
    return false;
  }
  const std::unique_ptr<yaml_parser_t, void (*)(yaml_parser_t*)> owner(&parser, yaml_parser_delete);
  yaml_parser_set_input_string(&parser, reinterpret_cast<const unsigned char*>(text.data()),
                               text.size());
  yaml_parser_set_encoding(&parser, YAML_UTF8_ENCODING);
  TYamlBuilder builder(root);
  while (!builder.Complete()) {
    yaml_event_t event;
    if (yaml_parser_parse(&parser, &event) == 0) {
      error = {static_cast<int>(parser.problem_mark.line) + 1,
               parser.problem != nullptr ? parser.problem : "not YAML"};
      return false;
    }
    const std::unique_ptr<yaml_event_t, void (*)(yaml_event_t*)> held(&event, yaml_event_delete);
    if (event.type == YAML_STREAM_END_EVENT) break;
    if (!builder.Take(event, error)) return false;
  }
  return true;
}

}  // namespace cq
