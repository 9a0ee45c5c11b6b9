#include "ReferenceParser.h"

#include <cstdint>

namespace cq::reference {

namespace {

using TNodePtr = std::unique_ptr<TNode>;

unsigned char Byte(char c) {
  return static_cast<unsigned char>(c);
}

bool IsName(char c) {
  const unsigned char b = Byte(c);
  return c == '#' || c == '-' || c == '.' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') ||
         c == '_' || (c >= 'a' && c <= 'z') || b >= 128;
}
bool IsAttributeName(char c) {
  return Byte(c) >= 23 && c != ' ' && c != '"' && c != '\'' && c != '<' && c != '=' && c != '>';
}
bool IsUnquotedValue(char c) {
  return Byte(c) >= 23 && c != ' ' && c != '"' && c != '\'' && c != '<' && c != '>';
}
bool IsBlank(char c) {
  return c == '\t' || c == '\n' || c == '\r' || c == ' ';
}

std::string Upper(std::string s) {
  for (char& c : s) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  }
  return s;
}
std::string Lower(std::string s) {
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  }
  return s;
}

bool OneOf(const std::string& name, std::initializer_list<const char*> names) {
  for (const char* n : names) {
    if (name == n) return true;
  }
  return false;
}

// A plain integer reader: sign, decimal or $/x/0x hexadecimal, int32 range.
bool ToInt(std::string s, std::int64_t& out) {
  std::size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  bool minus = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) minus = s[i++] == '-';
  int base = 10;
  if (s.compare(i, 2, "0x") == 0 || s.compare(i, 2, "0X") == 0) {
    base = 16;
    i += 2;
  } else if (i < s.size() && (s[i] == '$' || s[i] == 'x' || s[i] == 'X')) {
    base = 16;
    i += 1;
  }
  if (i >= s.size()) return false;
  std::int64_t v = 0;
  for (; i < s.size(); ++i) {
    const std::string digits = "0123456789abcdef";
    const std::size_t d = digits.find(Lower(std::string(1, s[i])));
    if (d == std::string::npos || static_cast<int>(d) >= base) return false;
    v = v * base + static_cast<std::int64_t>(d);
    if (v > (base == 16 ? 0xFFFFFFFFll : minus ? 0x80000000ll : 0x7FFFFFFFll)) return false;
  }
  out = minus ? -v : v;
  return true;
}

class TReader {
 public:
  TReader(const std::string& text, TDiagnostics& diagnostics)
      : T(text), diagnostics_(diagnostics) {}

  TNodePtr Document() {
    auto root = std::make_unique<TNode>();
    root->name = "HTML document";
    Pos = 1;
    do {
      SkipTo('<');
      Element(*root);
      while (!Eof() && IsBlank(Ch(Pos))) ++Pos;
    } while (!Eof());
    return root;
  }

 private:
  char Ch(std::int64_t i) const {
    return i >= 1 && i <= static_cast<std::int64_t>(T.size()) ? T[static_cast<std::size_t>(i - 1)]
                                                              : '\0';
  }
  bool Eof() const { return static_cast<std::int64_t>(T.size()) <= Pos; }
  void SkipTo(char c) {
    while (!Eof() && Ch(Pos) != c) ++Pos;
  }
  std::string Copy(std::int64_t from, std::int64_t count) const {
    if (count <= 0 || from > static_cast<std::int64_t>(T.size())) return {};
    return T.substr(static_cast<std::size_t>(from - 1), static_cast<std::size_t>(count));
  }
  // 1-based position of `what` at or after `from`, or the end of the text plus one.
  std::int64_t FindFrom(const std::string& what, std::int64_t from, bool anyCase) const {
    const std::string hay = anyCase ? Upper(T) : T;
    const std::size_t at =
        from - 1 <= static_cast<std::int64_t>(hay.size())
            ? hay.find(anyCase ? Upper(what) : what, static_cast<std::size_t>(from - 1))
            : std::string::npos;
    return at == std::string::npos ? static_cast<std::int64_t>(T.size()) + 1
                                   : static_cast<std::int64_t>(at) + 1;
  }
  bool Ask(const std::string& text) {
    if (!diagnostics_.show) return true;
    const bool ok = diagnostics_.ask(text);
    if (!ok) diagnostics_.show = false;
    return ok;
  }

  static void Lines(TNode& node, std::string s) {
    if (s.empty()) return;
    if (s.size() < 2 || s.compare(s.size() - 2, 2, "\r\n") != 0) s += "\r\n";
    while (!s.empty()) {
      const std::size_t at = s.find("\r\n");
      auto line = std::make_unique<TNode>();
      if (at == std::string::npos) {
        line->name = s;
        node.children.push_back(std::move(line));
        break;
      }
      line->name = s.substr(0, at);
      node.children.push_back(std::move(line));
      s = s.substr(at + 2);
      if (s.size() > 100000) s.resize(100000);
    }
  }

  static void Text(TNode& node, std::string s) {
    for (std::size_t i = 0; i + 1 < s.size();) {
      if (s[i] == '\n' && (s[i + 1] == '\t' || s[i + 1] == ' ')) {
        s.erase(i + 1, 1);
      } else {
        ++i;
      }
    }
    std::string spaced;
    for (std::size_t i = 0; i < s.size(); ++i) {
      if (s[i] == '\r' && i > 0 && !OneOf(std::string(1, s[i - 1]), {"\t", "\n", " ", ">"})) {
        spaced += ' ';
      }
      spaced += s[i];
    }
    std::string kept;
    for (const char c : spaced) {
      if (c != '\t' && c != '\n' && c != '\r') kept += c;
    }
    for (const char c : kept) {
      if (!IsBlank(c)) {
        auto text = std::make_unique<TNode>();
        text->name = "\"" + kept + "\"";
        node.children.push_back(std::move(text));
        return;
      }
    }
  }

  void Attributes(TNode& e) {
    for (;;) {
      while (!Eof() && !IsName(Ch(Pos)) && Ch(Pos) != '>') ++Pos;
      if (Eof() || !IsName(Ch(Pos))) return;
      const std::int64_t start = Pos;
      while (!Eof() && IsAttributeName(Ch(Pos))) ++Pos;
      const std::string name = Copy(start, Pos - start);
      while (!Eof() && Ch(Pos) != ' ' && Ch(Pos) != '=' && Ch(Pos) != '>') ++Pos;
      if (Ch(Pos) != '=') {
        e.attributes.push_back(name);
        continue;
      }
      while (!Eof() && (Ch(Pos) == ' ' || Ch(Pos) == '=' || Ch(Pos) == '<' || Ch(Pos) == '>' ||
                        Byte(Ch(Pos)) < 23)) {
        ++Pos;
      }
      std::string value;
      const char q = Ch(Pos);
      if (q == '"' || q == '\'') {
        ++Pos;
        const std::int64_t from = Pos;
        SkipTo(q);
        value = Copy(from, Pos - from);
        ++Pos;
      } else {
        const std::int64_t from = Pos;
        while (!Eof() && IsUnquotedValue(Ch(Pos))) ++Pos;
        value = Copy(from, Pos - from);
      }
      e.attributes.push_back(name + "=" + value);
    }
  }

  TNode& Element(TNode& parent) {
    parent.children.push_back(std::make_unique<TNode>());
    TNode& e = *parent.children.back();
    SkipTo('<');
    if (Eof()) return e;
    if (Ch(Pos + 1) == '!') {
      if (Ch(Pos + 2) != '-') {
        ++Pos;
        const std::int64_t from = Pos;
        SkipTo('>');
        e.name = Copy(from, Pos - from);
        ++Pos;
        return e;
      }
      Pos += 4;
      const std::int64_t end = FindFrom("-->", Pos, true);
      e.name = "<JS/comment>";
      Lines(e, Copy(Pos, end - Pos));
      Pos = end + 3;
      return e;
    }
    if (Ch(Pos + 1) == '?') {
      Pos += 2;
      const std::int64_t end = FindFrom("?>", Pos, false);
      e.name = "<?xml?>";
      Lines(e, Copy(Pos, end - Pos));
      Pos = end + 2;
      return e;
    }
    while (!Eof() && !IsName(Ch(Pos))) ++Pos;
    const std::int64_t from = Pos;
    while (!Eof() && IsName(Ch(Pos))) ++Pos;
    e.name = Upper(Copy(from, Pos - from));
    Attributes(e);
    if (Ch(Pos - 1) == '/' && e.name != "A") {
      ++Pos;
      return e;
    }
    ++Pos;
    if (OneOf(e.name, {"META", "IMG", "LINK", "INPUT", "SPACER", "FRAME", "NOFRAME", "BASEFONT",
                       "HR", "BR"})) {
      return e;
    }
    if (e.name == "SCRIPT") {
      const std::int64_t end = FindFrom("</SCRIPT>", Pos, true);
      Lines(e, Copy(Pos, end - Pos));
      Pos = end;
    } else if (e.name == "FORM") {
      if (!InForm) {
        InForm = true;
      } else {
        Ask("Imbricated FORM detected");
      }
    } else if (e.name == "FONT") {
      InFont = true;
    } else if (e.name == "TABLE") {
      ++TableDepth;
    }
    Content(e);
    return e;
  }

  void Content(TNode& e) {
    const TNode* lastChild = nullptr;
    for (;;) {
      const std::int64_t from = Pos;
      SkipTo('<');
      Text(e, Copy(from, Pos - from));
      if (Eof()) return;
      if (Ch(Pos + 1) != '/') {
        std::int64_t at = Pos + 1;
        std::string next;
        while (!(static_cast<std::int64_t>(T.size()) <= at) && IsName(Ch(at))) next += Ch(at++);
        next = Upper(next);
        if (next == e.name &&
            OneOf(next, {"P", "LI", "TD", "OPTION", "AREA", "FONT", "TR", "PARAM"})) {
          return;
        }
        lastChild = &Element(e);
        if ((e.name == "FORM" && !InForm) || (e.name == "FONT" && !InFont)) return;
        continue;
      }
      const std::int64_t tagStart = Pos;
      Pos += 2;
      const std::int64_t nameStart = Pos;
      while (!Eof() && IsName(Ch(Pos))) ++Pos;
      const std::string n = Upper(Copy(nameStart, Pos - nameStart));
      const std::string& en = e.name;
      auto close = [&] {
        SkipTo('>');
        ++Pos;
      };
      if (n == en) {
        if (n == "TABLE") --TableDepth;
        close();
        return;
      }
      if ((n == "TR" && en == "TD") || (n == "TABLE" && en == "TR") || (n == "UL" && en == "LI")) {
        Pos = tagStart;
        return;
      }
      if (n == "TABLE" && en == "TD") {
        if (TableDepth != 0) {
          Pos = tagStart;
        } else {
          close();
        }
        return;
      }
      if (n == "TD" && TableDepth == 0) {
        close();
        continue;
      }
      if (((en == "DT" || en == "DD") && n == "DL") || (en == "AREA" && n == "MAP") ||
          OneOf(en, {"P", "B", "I", "U", "STRONG", "CENTER"})) {
        Pos = tagStart;
        return;
      }
      if (OneOf(n, {"P", "B", "I", "U", "STRONG", "CENTER", "IMG", "BLOCKQUOTE"})) {
        close();
        continue;
      }
      if (n == "FORM") {
        InForm = false;
        close();
        continue;
      }
      if (en == "FORM") {
        Pos = tagStart;
        return;
      }
      if (n == "FONT") {
        InFont = false;
        close();
        continue;
      }
      if (en == "FONT") {
        Pos = tagStart;
        return;
      }
      if (n == "SPAN" ||
          (lastChild != nullptr && lastChild->name == n && (n == "TD" || n == "UL"))) {
        close();
        continue;
      }
      if (Ask("</" + en + "> expected but </" + n + "> found")) Pos = tagStart;
      return;
    }
  }

  const std::string& T;
  TDiagnostics& diagnostics_;
  std::int64_t Pos = 1;
  bool InForm = false;
  bool InFont = false;
  int TableDepth = 0;
};

std::string Attribute(const TNode& node, const std::string& name) {
  for (const std::string& entry : node.attributes) {
    const std::size_t eq = entry.find('=');
    if (Upper(entry.substr(0, eq)) == Upper(name)) {
      return eq == std::string::npos ? "" : entry.substr(eq + 1);
    }
  }
  return "";
}

}  // namespace

std::unique_ptr<TNode> Parse(const std::string& text, TDiagnostics& diagnostics) {
  return TReader(text, diagnostics).Document();
}

std::string DecodeEntities(std::string s) {
  std::size_t i = 1;
  while (i < s.size()) {
    if (s[i - 1] == '&') {
      const std::size_t semi = s.find(';', i);
      if (semi != std::string::npos && semi - (i - 1) <= 1000) {
        const std::string ref = Lower(s.substr(i - 1, semi - (i - 1) + 1));
        std::string rep = ref;
        if (ref == "&lt;") rep = "<";
        if (ref == "&gt;") rep = ">";
        if (ref == "&amp;") rep = "&";
        if (ref == "&nbsp;") rep = " ";
        if (ref == "&quot;") rep = "\"";
        if (ref.rfind("&#", 0) == 0) {
          std::int64_t code = 0;
          if (!ToInt(ref.substr(2, ref.size() - 3), code)) code = 0;
          rep = std::string(1, static_cast<char>(static_cast<std::uint64_t>(code) & 0xFF));
        }
        s.replace(i - 1, ref.size(), rep);
        i += rep.size();
        continue;
      }
    }
    ++i;
  }
  return s;
}

std::string GetText(const TNode& node) {
  std::string s;
  for (const auto& child : node.children) s += GetText(*child);
  const std::string name = Upper(node.name);
  if (name == "A") {
    const std::string href = Attribute(node, "HREF");
    return !href.empty() && href != s ? "<" + href + "> " + s : s;
  }
  if (name == "B") return "*" + s + "*";
  if (name == "I") return "/" + s + "/";
  if (name == "U") return "_" + s + "_";
  if (name == "BR") return "\r\n" + s;
  if (name == "P") return "\r\n  " + s;
  if (!node.name.empty() && node.name[0] == '"') {
    std::string t = node.name.size() >= 2 ? node.name.substr(1, node.name.size() - 2) : "";
    while (!t.empty() && t.front() == ' ') t.erase(0, 1);
    while (!t.empty() && t.back() == ' ') t.pop_back();
    return DecodeEntities(t);
  }
  return s;
}

}  // namespace cq::reference
