#include "gui/app/Transfers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <string_view>

#include "core/config/Translation.h"
#include "core/transfer/FileSignature.h"
#include "core/jobs/Jobs.h"
#include "gui/app/Desktop.h"
#include "gui/app/QtText.h"

namespace cq {

namespace {

constexpr std::string_view Refused = "\"/:<>?\\|";

std::string WithoutRefused(std::string text) {
  std::erase_if(text, [](char c) { return Refused.find(c) != std::string_view::npos; });
  return text;
}

// What the file systems refuse besides the eight: NUL and the control characters.
QString ForFileSystem(const std::string& cp1251) {
  QString text = FromCp1251(WithoutRefused(cp1251));
  text.removeIf([](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7F; });
  return text;
}

qsizetype Utf8Size(const QString& text) {
  return text.toUtf8().size();
}

// Drops the last character, never half of a surrogate pair.
void ChopCharacter(QString& text) {
  const bool pair = text.size() >= 2 && text.back().isLowSurrogate();
  text.chop(pair ? 2 : 1);
}

const TMelodyLink* LinkOf(const TMelody& melody, TMelodyFormat format, int linkIndex) {
  const TMelodyLinkList& links = melody.Links[format];
  if (linkIndex < 0 || static_cast<std::size_t>(linkIndex) >= links.size()) return nullptr;
  return &links[static_cast<std::size_t>(linkIndex)];
}

QString FailedToSave(const QString& fileName) {
  return FromCp1251(Translate("Messages.FailedToSave", "Failed to save")) + " " + fileName;
}

}  // namespace

QString FileExtension(const QString& fileName) {
  const qsizetype point = fileName.lastIndexOf('.');
  const qsizetype separator = std::max(fileName.lastIndexOf('/'), fileName.lastIndexOf('\\'));
  return point > separator ? fileName.mid(point) : QString();
}

bool IsVoidExtension(const std::string& extension) {
  return extension.empty() || extension == "." || extension == ".php" || extension == ".cgi";
}

std::string MakeSaveName(const TMelody& melody, TMelodyFormat format, int linkIndex,
                         std::string extension) {
  if (IsVoidExtension(extension)) extension = FormatExtensions[format];
  const TMelodyLink* link = LinkOf(melody, format, linkIndex);
  std::string name = melody.Site != nullptr ? melody.Site->GetName() : std::string();
  name += " - ";
  name += melody.Title.view();
  name += " (";
  if (link != nullptr) name += link->Caption.view();
  name += ")";
  name += extension;
  return WithoutRefused(std::move(name));
}

QString SaveFileName(const TMelody& melody, TMelodyFormat format, int linkIndex,
                     const QString& extension, int maxBytes) {
  std::string ext = ToCp1251(extension);
  if (IsVoidExtension(ext)) ext = FormatExtensions[format];
  const TMelodyLink* link = LinkOf(melody, format, linkIndex);
  QString site = ForFileSystem(melody.Site != nullptr ? melody.Site->GetName() : std::string());
  QString title = ForFileSystem(melody.Title.str());
  QString caption = ForFileSystem(link != nullptr ? link->Caption.str() : std::string());
  const QString suffix = ForFileSystem(ext);
  const auto join = [&] { return site + " - " + title + " (" + caption + ")" + suffix; };
  // The title goes first; the site and the caption only when the title alone is not enough.
  for (QString* part : {&title, &site, &caption})
    while (Utf8Size(join()) > maxBytes && !part->isEmpty()) ChopCharacter(*part);
  return join();
}

bool CopyIntoPlace(const QString& source, const QString& target) {
  QFile input(source);
  if (!input.open(QIODevice::ReadOnly)) return false;
  QSaveFile output(target);
  if (!output.open(QIODevice::WriteOnly)) return false;
  // Read until the end is seen, not until the size says so: a file may be shorter or longer
  // than it claims, and a read error must not pass for the end.
  QByteArray piece(1 << 16, Qt::Uninitialized);
  for (;;) {
    const qint64 got = input.read(piece.data(), piece.size());
    if (got == 0) break;
    if (got < 0 || output.write(piece.constData(), got) != got) {
      output.cancelWriting();
      break;
    }
  }
  // What is still buffered may not fit (a full disk); commit() would put the short file in place
  // all the same.
  if (!output.flush()) output.cancelWriting();
  return output.commit();
}

QString PlayableFile(const QString& cacheFile, TMelodyFormat format) {
  const QString extension = FileExtension(cacheFile);
  if (!IsVoidExtension(ToCp1251(extension))) return cacheFile;
  const QString playable =
      cacheFile.left(cacheFile.size() - extension.size()) +
      QString::fromLatin1(FormatExtensions[format].data(),
                          static_cast<qsizetype>(FormatExtensions[format].size()));
  if (!QFileInfo::exists(playable)) QFile::copy(cacheFile, playable);
  return playable;
}

bool IsMelodyOf(const QString& file, TMelodyFormat format) {
  static constexpr TFileSignature Signatures[FormatCount] = {fsWav, fsMidi, fsMmf, fsMp3};
  QFile input(file);
  if (!input.open(QIODevice::ReadOnly)) return false;
  const QByteArray head = input.read(SignatureSize);
  return SignatureOf(std::string_view(head.constData(), static_cast<std::size_t>(head.size()))) ==
         Signatures[format];
}

void SaveDownload(const TJob& job, const TSaveSettings& settings, TDesktop& desktop) {
  const TTask& task = job.Task();
  const QString cacheFile = QFile::decodeName(QByteArray::fromStdString(job.FileName()));
  const QString extension = FileExtension(cacheFile);
  const QString name = SaveFileName(task.Melody, task.Format, task.LinkIndex, extension);
  if (settings.Ask) {
    const QString lower = extension.toLower();
    const QString chosen =
        desktop.AskSaveFileName("*" + lower + " files|*" + lower, settings.SaveDir, name);
    if (chosen.isEmpty()) return;
    if (!CopyIntoPlace(cacheFile, chosen)) desktop.Notice(FailedToSave(chosen));
    return;
  }
  QDir().mkpath(settings.SaveDir);
  QString target = settings.SaveDir;
  if (!target.endsWith('/') && !target.endsWith(QDir::separator())) target += QDir::separator();
  target += name;
  if (QFileInfo::exists(target) && !desktop.AskYesNo(FromCp1251(Translate(
                                       "Messages.FileExists", "File already exists. Overwrite?"))))
    return;
  if (!CopyIntoPlace(cacheFile, target)) desktop.Notice(FailedToSave(target));
}

}  // namespace cq
