#include "gui/crash/TechnicalReport.h"

#include <QDateTime>
#include <QGuiApplication>
#include <QLocale>
#include <QScreen>
#include <QStringList>
#include <QSysInfo>
#include <QtGlobal>

#include "core/Product.h"
#include "core/config/Translation.h"
#include "core/transfer/Version.h"
#include "gui/common/QtText.h"

namespace cq {

namespace {

QString ScreenLine() {
  const QScreen* screen = qobject_cast<QGuiApplication*>(QGuiApplication::instance()) != nullptr
                              ? QGuiApplication::primaryScreen()
                              : nullptr;
  if (screen == nullptr) return QStringLiteral("none");
  const QSize size = screen->size();
  return QStringLiteral("%1 x %2, %3 bits, %4 dpi")
      .arg(size.width())
      .arg(size.height())
      .arg(screen->depth())
      .arg(qRound(screen->logicalDotsPerInch()));
}

}  // namespace

QString TechnicalReport() {
  const QString language = FromCp1251(CurrentLanguage());
  const QStringList lines = {
      QStringLiteral("Program: %1 %2")
          .arg(
              QString::fromUtf8(product::Name.data(), static_cast<qsizetype>(product::Name.size())),
              QString::fromStdString(VersionText())),
      QStringLiteral("Qt: %1 (built with %2)")
          .arg(QString::fromLatin1(qVersion()), QStringLiteral(QT_VERSION_STR)),
      QStringLiteral("System: %1, %2 %3")
          .arg(QSysInfo::prettyProductName(), QSysInfo::kernelType(), QSysInfo::kernelVersion()),
      QStringLiteral("Processor: %1 (built for %2)")
          .arg(QSysInfo::currentCpuArchitecture(), QSysInfo::buildAbi()),
      QStringLiteral("Language: %1").arg(language.isEmpty() ? QStringLiteral("(none)") : language),
      QStringLiteral("Locale: %1").arg(QLocale::system().name()),
      QStringLiteral("Screen: %1").arg(ScreenLine()),
      QStringLiteral("Time: %1").arg(QDateTime::currentDateTimeUtc().toString(Qt::ISODate)),
  };
  return lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}

}  // namespace cq
