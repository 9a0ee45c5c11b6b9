#include "gui/app/Player.h"

#include <QAudioOutput>
#include <QDir>
#include <QFileInfo>
#include <QMediaPlayer>
#include <QProcess>
#include <QUrl>
#include <stdexcept>

#include "core/platform/UserFolders.h"
#include "gui/common/QtText.h"
#include "gui/common/Texts.h"

namespace cq {

namespace {

QString FirstMatch(const QString& folder) {
  const QStringList found = QDir(folder).entryList(
      {"psmplay*.exe"}, QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
  return found.isEmpty() ? QString() : QDir(folder).filePath(found.constFirst());
}

}  // namespace

QString FindExternalPlayer(const QString& ownFolder, const QStringList& programFolders) {
  if (QString own = FirstMatch(ownFolder); !own.isEmpty()) return own;
  for (const QString& programs : programFolders) {
    if (programs.isEmpty()) continue;
    for (const char* sub : {"PSM5", "PSM4", "PSM"}) {
      if (QString found = FirstMatch(QDir(programs).filePath(sub)); !found.isEmpty()) return found;
    }
  }
  return {};
}

QStringList ProgramFolders() {
  QStringList folders;
  const std::string programs = GetSpecialFolder(sfProgramFiles, "");
  if (!programs.empty()) folders << QString::fromStdString(programs);
  for (const QString& folder : {QStringLiteral("/opt"), QStringLiteral("/usr/lib")})
    if (!folders.contains(folder)) folders << folder;
  return folders;
}

TPlayer::TPlayer(QString externalPlayerPath, QObject* parent)
    : QObject(parent), externalPlayerPath_(std::move(externalPlayerPath)) {}

QMediaPlayer& TPlayer::MediaPlayer() {
  if (media_ != nullptr) return *media_;
  media_ = new QMediaPlayer(this);
  media_->setAudioOutput(new QAudioOutput(media_));
  connect(media_, &QMediaPlayer::errorOccurred, this,
          [this](QMediaPlayer::Error, const QString& text) {
            // The back end reports one failure in several words; the first tells it.
            if (failureTold_ || !onError_) return;
            failureTold_ = true;
            const QString why = text.isEmpty() ? media_->errorString() : text;
            // Nothing plays any more: the Stop button and the row's mark follow.
            media_->stop();
            onError_(why);
          });
  return *media_;
}

TPlayer::~TPlayer() {
  Stop();
}

bool TPlayer::Playing() const {
  return process_ != nullptr ||
         (media_ != nullptr && media_->playbackState() == QMediaPlayer::PlayingState);
}

void TPlayer::Play(const QString& file) {
  QMediaPlayer& media = MediaPlayer();
  failureTold_ = false;
  media.stop();
  media.setSource(QUrl());
  media.setSource(QUrl::fromLocalFile(file));
  media.play();
}

void TPlayer::RunExternalPlayer(const QString& file) {
  if (!QFileInfo(externalPlayerPath_).isExecutable())
    throw std::runtime_error(
        ToCp1251(TranslatedText("Messages.PlayerMissing", "the player %1 is missing.")
                     .arg(QDir::toNativeSeparators(externalPlayerPath_))));
  auto* process = new QProcess(this);
  process->setProgram(externalPlayerPath_);
  process->setArguments({file});
  process->start();
  if (!process->waitForStarted()) {
    const QString error = process->errorString();
    delete process;
    throw std::runtime_error(ToCp1251(error));
  }
  process_ = process;
}

void TPlayer::Stop() {
  if (process_ != nullptr) {
    process_->kill();
    process_->waitForFinished(1000);
    delete process_;
    process_ = nullptr;
    return;
  }
  if (media_ == nullptr) return;
  media_->stop();
  media_->setSource(QUrl());
}

}  // namespace cq
