#include "core/sites/ElemSelect.h"

#include <algorithm>
#include <unordered_set>

#include "core/config/Message.h"
#include "core/platform/Text.h"
#include "core/sites/IntegerText.h"
#include "core/sites/Parser.h"

namespace cq {

namespace {

using TStep = TSelectPath::TStep;
using TFilter = TSelectPath::TFilter;

bool IsNameChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '_' || c == ':';
}

bool AllDigits(std::string_view text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool IsTagName(std::string_view name) {
  if (name.empty()) return false;
  for (const char c : name) {
    if (!IsNameChar(c)) return false;
  }
  return true;
}

// Reads the filters that follow a step's name: [attr], [attr="v"], [attr^="v"] ...
bool ReadFilters(std::string_view text, std::vector<TFilter>& filters, TMessage& error) {
  while (!text.empty()) {
    if (text.front() != '[') {
      error = {"Definitions.FilterForm",
               "a filter must be written [attribute] or [attribute=\"value\"]", {}};
      return false;
    }
    text.remove_prefix(1);
    std::size_t nameEnd = 0;
    while (nameEnd < text.size() && IsNameChar(text[nameEnd])) ++nameEnd;
    TFilter filter;
    filter.Attribute = std::string(text.substr(0, nameEnd));
    text.remove_prefix(nameEnd);
    if (filter.Attribute.empty()) {
      error = {"Definitions.FilterName", "a filter needs an attribute name", {}};
      return false;
    }
    if (!text.empty() && (text.front() == '^' || text.front() == '$' || text.front() == '*')) {
      filter.Operator = text.front();
      text.remove_prefix(1);
      if (text.empty() || text.front() != '=') {
        error = {"Definitions.FilterOperator", "a filter's ^ $ or * must be followed by =", {}};
        return false;
      }
    }
    if (!text.empty() && text.front() == '=') {
      if (filter.Operator == 0) filter.Operator = '=';
      text.remove_prefix(1);
      const std::size_t close =
          text.size() > 1 && text.front() == '"' ? text.find('"', 1) : std::string_view::npos;
      if (close == std::string_view::npos) {
        error = {"Definitions.FilterQuotes", "a filter's value must be in double quotes", {}};
        return false;
      }
      filter.Value = UpperLatin(text.substr(1, close - 1));
      text.remove_prefix(close + 1);
    }
    if (text.empty() || text.front() != ']') {
      error = {"Definitions.FilterEnd", "a filter must end with ]", {}};
      return false;
    }
    text.remove_prefix(1);
    filters.push_back(std::move(filter));
  }
  return true;
}

bool ReadStep(std::string_view text, TStep& step, TMessage& error) {
  const std::size_t space = text.find(' ');
  if (space != std::string_view::npos && text.find('[') > space) {
    const std::string_view count = text.substr(0, space);
    if (count == "**") {
      step.Kind = TStep::Below;
    } else if (count == "*") {
      step.Kind = TStep::Every;
    } else if (!AllDigits(count) || !ReadInteger(count, step.N) || step.N < 1) {
      error = {"Definitions.StepCount",
               "a step's count must be a number from 1, * or **: '%1'",
               {std::string(count)}};
      return false;
    }
    text.remove_prefix(space + 1);
  }
  const std::size_t filters = text.find('[');
  step.Name = std::string(text.substr(0, filters));
  if (step.Name != "*" && !IsTagName(step.Name)) {
    error = step.Name.empty()
                ? TMessage{"Definitions.StepNoName", "a step has no tag name", {}}
                : TMessage{"Definitions.StepName", "not a tag name: '%1'", {step.Name}};
    return false;
  }
  return filters == std::string_view::npos ||
         ReadFilters(text.substr(filters), step.Filters, error);
}

// Splits at the backslashes outside quoted filter values.
std::vector<std::string_view> SplitSteps(std::string_view path) {
  std::vector<std::string_view> steps;
  bool quoted = false;
  std::size_t begin = 0;
  for (std::size_t i = 0; i < path.size(); ++i) {
    if (path[i] == '"') quoted = !quoted;
    if (path[i] == '\\' && !quoted) {
      steps.push_back(path.substr(begin, i - begin));
      begin = i + 1;
    }
  }
  steps.push_back(path.substr(begin));
  return steps;
}

std::optional<std::string_view> AttributeOf(const TElem& elem, std::string_view name) {
  for (std::size_t i = 0; i < elem.AttributeCount(); ++i) {
    const std::string_view entry = elem.AttributeEntry(i);
    const std::size_t equals = entry.find('=');
    if (!EqualsIgnoringLatinCase(entry.substr(0, equals), name)) continue;
    return equals == std::string_view::npos ? std::string_view() : entry.substr(equals + 1);
  }
  return std::nullopt;
}

bool Passes(const TElem& elem, const TFilter& filter) {
  const std::optional<std::string_view> value = AttributeOf(elem, filter.Attribute);
  if (!value) return false;
  if (filter.Operator == 0) return true;
  const std::string upper = UpperLatin(*value);
  switch (filter.Operator) {
    case '=':
      return upper == filter.Value;
    case '^':
      return upper.starts_with(filter.Value);
    case '$':
      return upper.ends_with(filter.Value);
    default:
      return upper.find(filter.Value) != std::string::npos;
  }
}

bool Matches(const TElem& elem, const TStep& step) {
  if (step.Name == "*" ? !IsTagName(elem.Name())
                       : !EqualsIgnoringLatinCase(elem.Name(), step.Name)) {
    return false;
  }
  for (const TFilter& filter : step.Filters) {
    if (!Passes(elem, filter)) return false;
  }
  return true;
}

// Scripts, styles and comments hold raw lines, never elements of the page.
bool HoldsRawLines(const TElem& elem) {
  const std::string_view name = elem.Name();
  return name.starts_with('<') || EqualsIgnoringLatinCase(name, "SCRIPT") ||
         EqualsIgnoringLatinCase(name, "STYLE");
}

void AddMatches(const TElem& from, const TStep& step, std::vector<const TElem*>& out,
                std::unordered_set<const TElem*>& visited) {
  if (step.Kind == TStep::Nth) {
    // Without filters this is exactly the scrapers' step.
    if (step.Filters.empty()) {
      if (const TElem* child = FindChild(from.Children(), step.Name, step.N)) out.push_back(child);
      return;
    }
    int n = step.N;
    for (const TElem* child : from.Children()) {
      if (Matches(*child, step) && --n == 0) {
        out.push_back(child);
        return;
      }
    }
    return;
  }
  if (step.Kind == TStep::Every) {
    for (const TElem* child : from.Children()) {
      if (Matches(*child, step)) out.push_back(child);
    }
    return;
  }
  // Depth first, without recursion: pages nest without bound. A subtree already walked from an
  // element found earlier is not walked again.
  std::vector<std::pair<const TElem*, std::size_t>> stack{{&from, 0}};
  while (!stack.empty()) {
    auto& [elem, next] = stack.back();
    if (next == elem->Children().Count() || HoldsRawLines(*elem)) {
      stack.pop_back();
      continue;
    }
    const TElem* child = elem->Children()[next++];
    if (!visited.insert(child).second) continue;
    if (Matches(*child, step)) out.push_back(child);
    stack.emplace_back(child, 0);
  }
}

}  // namespace

std::optional<TSelectPath> TSelectPath::Compile(std::string_view text,
                                                std::vector<TMessage>& error) {
  TSelectPath path;
  path.text_ = std::string(text);
  if (text == ".") return path;
  if (text.starts_with('\\')) text.remove_prefix(1);
  if (text.empty()) {
    error = {{"Definitions.EmptyPath", "an empty path", {}}};
    return std::nullopt;
  }
  for (const std::string_view stepText : SplitSteps(text)) {
    TStep step;
    TMessage detail;
    if (!ReadStep(stepText, step, detail)) {
      error = {{"Definitions.BadPath", "bad path '%1'", {path.text_}}, std::move(detail)};
      return std::nullopt;
    }
    path.single_ = path.single_ && step.Kind == TStep::Nth;
    path.steps_.push_back(std::move(step));
  }
  return path;
}

std::vector<const TElem*> TSelectPath::Select(const TElem& start) const {
  if (single_) {
    const TElem* found = First(start);
    return found == nullptr ? std::vector<const TElem*>() : std::vector<const TElem*>{found};
  }
  std::vector<const TElem*> current{&start};
  std::unordered_set<const TElem*> visited;
  for (const TStep& step : steps_) {
    std::vector<const TElem*> next;
    visited.clear();
    for (const TElem* elem : current) AddMatches(*elem, step, next, visited);
    current = std::move(next);
    if (current.empty()) break;
  }
  return current;
}

const TElem* TSelectPath::First(const TElem& start) const {
  if (!single_) {
    const std::vector<const TElem*> found = Select(start);
    return found.empty() ? nullptr : found.front();
  }
  // Numbered steps alone lead to one element at most: no lists needed on the way.
  const TElem* current = &start;
  for (const TStep& step : steps_) {
    std::vector<const TElem*> next;
    if (step.Filters.empty()) {
      current = FindChild(current->Children(), step.Name, step.N);
    } else {
      std::unordered_set<const TElem*> unused;
      AddMatches(*current, step, next, unused);
      current = next.empty() ? nullptr : next.front();
    }
    if (current == nullptr) return nullptr;
  }
  return current;
}

std::optional<TValuePath> TValuePath::Compile(std::string_view text, std::vector<TMessage>& error) {
  TValuePath value;
  value.text_ = std::string(text);
  const std::size_t at = text.rfind('@');
  if (at != std::string_view::npos && text.find_first_of("\"]\\", at) == std::string_view::npos) {
    value.attribute_ = std::string(text.substr(at + 1));
    if (!IsTagName(value.attribute_)) {
      error = {
          {"Definitions.AttributeName", "not an attribute name after @: '%1'", {value.attribute_}}};
      return std::nullopt;
    }
    text = at == 0 ? std::string_view(".") : text.substr(0, at);
  }
  std::optional<TSelectPath> path = TSelectPath::Compile(text, error);
  if (!path) return std::nullopt;
  value.path_ = std::move(*path);
  return value;
}

std::optional<std::string> TValuePath::Read(const TElem& start) const {
  const TElem* elem = path_.First(start);
  if (elem == nullptr) return std::nullopt;
  if (attribute_.empty()) return ElemWords(*elem);
  // Addresses in pages write their ampersands as "&amp;".
  return DecodeEntities(elem->Attribute(attribute_));
}

std::string ElemWords(const TElem& elem) {
  return elem.Children().Count() == 0 ? std::string() : GetText(elem.Children()[0]);
}

}  // namespace cq
