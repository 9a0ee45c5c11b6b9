#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/transfer/Version.h"

namespace cq {

// What the checker tells the program. Called on the checker's own thread: an implementation
// posts to its main thread and touches no window state here.
class TUpdateSink {
 public:
  virtual ~TUpdateSink() = default;
  // The version file's second line: 1 or more turns the extra About button on, 0 or less off.
  virtual void SetShowJobButton(bool on) = 0;
  // A newer version exists: ask `question` (Yes/No, captioned with the product name) and on Yes
  // open `homePage`.
  virtual void OfferNewVersion(const std::string& question, const std::string& homePage) = 0;
};

// The version file: line 1 "major.minor.release.build", then an integer. Each part must be a
// plain decimal number (blanks around it are allowed) and counts modulo 65536; anything after
// the integer is ignored.
std::optional<long long> ReadVersionFileSwitch(std::string_view text);
std::optional<TVersion> ReadVersionFileVersion(std::string_view text);

// The question shown when the server has a newer version, in the current language.
std::string NewVersionQuestion();

// The check itself, on the calling thread: fetches the version file (no cache), turns the button
// on or off, and offers the new version when it is newer than `own`. Every failure is silent.
void RunUpdateCheck(TUpdateSink& sink, const TVersion& own);

// Runs the check once on a thread of its own, against the program's own version. The thread
// holds the sink until it ends and is never waited for.
void StartUpdateCheck(std::shared_ptr<TUpdateSink> sink);

}  // namespace cq
