#include "gui/common/QtText.h"

#include <QHash>
#include <array>

#include "core/platform/Text.h"

namespace cq {

namespace {

// windows-1251 is one byte per character: a table each way, built once from the core's converter.
struct Cp1251Tables {
  std::array<char16_t, 256> toUnicode{};
  QHash<char32_t, char> fromUnicode;

  Cp1251Tables() {
    for (int byte = 0; byte < 256; ++byte) {
      const char c = static_cast<char>(byte);
      const QString decoded = QString::fromStdString(Cp1251ToUtf8(std::string_view(&c, 1)));
      // The one unassigned byte decodes to '?'; it keeps no reverse entry.
      const bool assigned = decoded.size() == 1 && (decoded[0] != u'?' || byte == '?');
      toUnicode[static_cast<std::size_t>(byte)] = assigned ? decoded[0].unicode() : u'?';
      if (assigned) fromUnicode.insert(decoded[0].unicode(), c);
    }
  }
};

const Cp1251Tables& Tables() {
  static const Cp1251Tables tables;
  return tables;
}

}  // namespace

QString FromCp1251(std::string_view text) {
  const Cp1251Tables& tables = Tables();
  QString result(static_cast<qsizetype>(text.size()), Qt::Uninitialized);
  for (std::size_t i = 0; i < text.size(); ++i) {
    result[static_cast<qsizetype>(i)] =
        QChar(tables.toUnicode[static_cast<unsigned char>(text[i])]);
  }
  return result;
}

std::string ToCp1251(const QString& text) {
  const Cp1251Tables& tables = Tables();
  std::string result;
  result.reserve(static_cast<std::size_t>(text.size()));
  for (const char32_t codePoint : text.toUcs4()) result += tables.fromUnicode.value(codePoint, '?');
  return result;
}

}  // namespace cq
