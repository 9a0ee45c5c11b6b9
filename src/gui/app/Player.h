#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

class QAudioOutput;
class QMediaPlayer;
class QProcess;

namespace cq {

// The external MMF player: the pattern "psmplay*.exe" in the program's own folder, then in each
// program folder under "PSM5", "PSM4" and "PSM". The full name of the first file found, or empty.
QString FindExternalPlayer(const QString& ownFolder, const QStringList& programFolders);
// The platform's program folders, in the order they are searched.
QStringList ProgramFolders();

// Playback: WAV, MIDI and MP3 through Qt Multimedia, MMF through the external player. The media
// pipeline is made on first use: loading it would delay the window. Main thread only.
class TPlayer : public QObject {
  Q_OBJECT

 public:
  explicit TPlayer(QString externalPlayerPath, QObject* parent = nullptr);
  ~TPlayer() override;

  const QString& ExternalPlayerPath() const { return externalPlayerPath_; }
  void SetExternalPlayerPath(QString path) { externalPlayerPath_ = std::move(path); }
  QMediaPlayer& MediaPlayer();
  QProcess* ExternalPlayerProcess() const { return process_; }

  // Told the text of a playback failure that the media back end reports later.
  void SetOnError(std::function<void(const QString&)> handler) { onError_ = std::move(handler); }

  // Something plays: the media player has not reached the end, or an external player was
  // started and not stopped (even when it has ended by itself).
  bool Playing() const;
  // Plays a file through the media player, from the start; what goes wrong (no sound device, a
  // file it cannot read) reaches the error handler.
  void Play(const QString& file);
  // Starts the external player on `file`; throws why when it cannot start.
  void RunExternalPlayer(const QString& file);
  // Ends the external player if one was started, else closes the media player's file.
  void Stop();

 private:
  QString externalPlayerPath_;
  QMediaPlayer* media_ = nullptr;
  bool failureTold_ = false;  // for the file playing now
  QProcess* process_ = nullptr;
  std::function<void(const QString&)> onError_;
};

}  // namespace cq
