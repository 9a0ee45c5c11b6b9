#include "gui/app/Player.h"

#include <QAudioOutput>
#include <QDir>
#include <QMediaPlayer>
#include <QProcess>
#include <QUrl>
#include <stdexcept>

#include "core/platform/UserFolders.h"

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
    : QObject(parent),
      externalPlayerPath_(std::move(externalPlayerPath)),
      media_(new QMediaPlayer(this)),
      audio_(new QAudioOutput(this)) {
  media_->setAudioOutput(audio_);
  connect(media_, &QMediaPlayer::errorOccurred, this,
          [this](QMediaPlayer::Error, const QString& text) {
            if (onError_) onError_(text);
          });
}

TPlayer::~TPlayer() {
  Stop();
}

bool TPlayer::Playing() const {
  return process_ != nullptr || media_->playbackState() == QMediaPlayer::PlayingState;
}

void TPlayer::Play(const QString& file) {
  media_->stop();
  media_->setSource(QUrl());
  media_->setSource(QUrl::fromLocalFile(file));
  media_->play();
}

void TPlayer::RunExternalPlayer(const QString& file) {
  auto* process = new QProcess(this);
  process->setProgram(externalPlayerPath_);
  process->setArguments({file});
  process->start();
  if (!process->waitForStarted()) {
    const QString error = process->errorString();
    delete process;
    throw std::runtime_error(error.toStdString());
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
  media_->stop();
  media_->setSource(QUrl());
}

}  // namespace cq
