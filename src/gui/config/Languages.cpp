#include "gui/config/Languages.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <memory>

#include "core/config/Translation.h"
#include "gui/common/QtText.h"

namespace cq {

namespace {

// The language file names its sections in English, as Qt names its languages.
QLocale LocaleOf(const std::string& language) {
  const QString name =
      QString::fromLatin1(language.data(), static_cast<qsizetype>(language.size()));
  for (int code = QLocale::AnyLanguage + 1; code <= QLocale::LastLanguage; ++code) {
    const auto candidate = static_cast<QLocale::Language>(code);
    if (QLocale::languageToString(candidate) == name) return QLocale(candidate);
  }
  return QLocale::c();
}

}  // namespace

void UseQtTranslations(const std::string& language) {
  static std::unique_ptr<QTranslator> installed;
  static std::string installedLanguage;
  if (language == installedLanguage) return;
  installedLanguage = language;
  if (installed != nullptr) QCoreApplication::removeTranslator(installed.get());
  installed.reset();
  const QLocale locale = LocaleOf(language);
  if (locale.language() == QLocale::C || locale.language() == QLocale::English) return;
  auto translator = std::make_unique<QTranslator>();
  // "qt" gathers the catalogues of the modules (base, multimedia, …) that are installed.
  if (!translator->load(locale, QStringLiteral("qt"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    return;
  QCoreApplication::installTranslator(translator.get());
  installed = std::move(translator);
}

QString LanguageOwnName(const std::string& language) {
  return FromCp1251(Translate(language, "Language.Name", language));
}

}  // namespace cq
