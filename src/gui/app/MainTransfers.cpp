// The main window's downloads and plays: their completions, and closing while downloads run.
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <stdexcept>

#include "core/config/Translation.h"
#include "gui/app/MainForm.h"
#include "gui/app/Player.h"
#include "gui/app/ResultView.h"
#include "gui/app/Transfers.h"
#include "gui/common/Desktop.h"
#include "gui/common/QtText.h"
#include "gui/common/Texts.h"
#include "gui/config/RegConfig.h"

namespace cq {

void TMainForm::closeEvent(QCloseEvent* event) {
  if (!quitNow_ && DownloadCount() > 0) {
    event->ignore();
    if (askingToQuit_) return;
    askingToQuit_ = true;
    desktop_.AskEitherLater(
        TranslatedText("Messages.DownloadsRunning",
                       "Downloads are still running. Wait for them to finish, or quit now?"),
        TranslatedText("Messages.WaitForDownloads", "Wait, then quit"),
        TranslatedText("Messages.QuitNow", "Quit now"), [this](bool wait) {
          askingToQuit_ = false;
          quitAfterDownloads_ = wait;
          quitNow_ = !wait;
          // Not from inside the close that asked.
          QTimer::singleShot(0, this, [this] { CloseOnceDownloadsEnd(); });
        });
    return;
  }
  if (firstShowDone_) SaveWindowPlace(*this);
  if (StopBtn->isEnabled() || player_->Playing()) StopBtnClick();
  event->accept();
}

std::size_t TMainForm::DownloadCount() {
  TJobManager& manager = driver_.Manager();
  auto count = static_cast<std::size_t>(
      std::count_if(manager.Tasks().begin(), manager.Tasks().end(),
                    [](const TTask& task) { return task.Kind == taskDownload; }));
  for (std::size_t slot = 0; slot < JobSlotCount; ++slot)
    if (const TJob* job = manager.Slot(slot); job != nullptr && job->Task().Kind == taskDownload)
      ++count;
  return count;
}

void TMainForm::CloseOnceDownloadsEnd() {
  if (quitNow_ || (quitAfterDownloads_ && DownloadCount() == 0)) close();
}

void TMainForm::CloseWithoutAsking() {
  quitNow_ = true;
  close();
}

// Completions of finished transfers

void TMainForm::SaveCompleted(const TJob& job) {
  if (Settings() == nullptr) return;
  const QString saved =
      SaveDownload(job, {Settings()->AskWhereToSave(), Settings()->SaveFolder()}, desktop_);
  if (!saved.isEmpty()) ShowSaved(saved);
}

void TMainForm::ShowSaved(const QString& file) {
  const QFileInfo saved(file);
  savedFolder_ = saved.absolutePath();
  const QString link = TranslatedText("Messages.OpenFolder", "Open folder");
  const int room = SavedNote->width() - SavedNote->fontMetrics().horizontalAdvance(link) - 60;
  const QString name =
      SavedNote->fontMetrics().elidedText(saved.fileName(), Qt::ElideMiddle, std::max(room, 40));
  SavedNote->setText(
      TranslatedText("Messages.Saved", "Saved: %1").toHtmlEscaped().arg(name.toHtmlEscaped()) +
      " <a href=\"folder\">" + link.toHtmlEscaped() + "</a>");
  SavedNote->setToolTip(QDir::toNativeSeparators(file));
  SavedNote->setAccessibleName(TranslatedText("Messages.Saved", "Saved: %1").arg(saved.fileName()));
}

void TMainForm::PlayCompleted(const TJob& job) {
  const TTask& task = job.Task();
  const QString fetched = QFile::decodeName(QByteArray::fromStdString(job.FileName()));
  if (task.Format == fmMmf && player_->ExternalPlayerPath().isEmpty()) {
    desktop_.Notice("I can't play MMF files!!!");
    return;
  }
  if (!IsMelodyOf(fetched, task.Format)) {
    desktop_.Notice(FromCp1251(
        Translate("Messages.NotAMelody",
                  "This file is not a melody in the format it claims; it was not played.")));
    return;
  }
  try {
    if (StopBtn->isEnabled() || player_->Playing()) StopBtnClick();
    const QString file = PlayableFile(fetched, task.Format);
    if (task.Format == fmMmf) {
      player_->RunExternalPlayer(file);
      // The player may take the front; the list stays where the user works.
      QTimer::singleShot(300, this, [this] { BringToFront(); });
    } else {
      // Without a device the media back end would play into nothing, or fail in its own words.
      if (!desktop_.HasSoundOutput())
        throw std::runtime_error(ToCp1251(
            TranslatedText("Messages.NoSoundDevice", "there is no sound device to play it on.")));
      player_->Play(file);
    }
    StopBtn->setEnabled(player_->Playing());
    PaintBox->SetPlayingRow(task.OriginKey);
    CursorUpdateTimer->start();
  } catch (const std::exception& error) {
    desktop_.Notice(TranslatedText("Messages.CannotPlay", "The melody cannot be played: %1")
                        .arg(FromCp1251(error.what())));
  }
}

}  // namespace cq
