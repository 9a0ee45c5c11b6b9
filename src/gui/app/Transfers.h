#pragma once

#include <QString>
#include <string>

#include "core/sites/Sites.h"

namespace cq {

class TDesktop;
class TJob;

// The extension of a file name: from its last point to the end, the point included; empty when
// the name has no point after its last separator.
QString FileExtension(const QString& fileName);

// Extensions that say nothing about the file: the format's own is used instead.
bool IsVoidExtension(const std::string& extension);

// The suggested name of a saved file, without folder, as windows-1251 text:
// "Site - Title (Caption).ext", the eight characters " / : < > ? \ | removed.
std::string MakeSaveName(const TMelody& melody, TMelodyFormat format, int linkIndex,
                         std::string extension);

// The same name as the file system takes it: UTF-8 on disk, control characters removed besides
// the eight, and a name longer than `maxBytes` shortened in its title, keeping the site, the
// caption and the extension.
QString SaveFileName(const TMelody& melody, TMelodyFormat format, int linkIndex,
                     const QString& extension, int maxBytes = 255);

// Copies `source` to `target` through a temporary file beside the target that is renamed into
// place, so a failed copy never destroys a file already there. False on failure.
bool CopyIntoPlace(const QString& source, const QString& target);

// The file to play for a fetched cache file: itself, or for a file without a telling extension
// (none, ".", ".php", ".cgi") a copy beside it with the format's extension, made once.
QString PlayableFile(const QString& cacheFile, TMelodyFormat format);

// Whether the file's first bytes are what `format` says. Sites call anything a melody, and the
// media back end follows the addresses inside a playlist it is handed.
bool IsMelodyOf(const QString& file, TMelodyFormat format);

// How a finished download is saved: asking every time, or into the fixed folder.
struct TSaveSettings {
  bool Ask = true;
  QString SaveDir;
};

// The save completion of a finished download: asks for the name or puts it into the fixed folder
// (asking before overwriting), copies the cache file there and tells about a failure. Answers the
// file saved, or empty when nothing was.
QString SaveDownload(const TJob& job, const TSaveSettings& settings, TDesktop& desktop);

}  // namespace cq
