#include "core/transfer/Updater.h"

#include <limits>
#include <thread>

#include "core/Product.h"
#include "core/config/Translation.h"
#include "core/transfer/Fetch.h"
#include "core/transfer/FileText.h"

namespace cq {

namespace {

// A version file is two short lines.
constexpr TFetchLimits kVersionFileLimits{4096, PageLimits.Total};

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// A plain decimal number, kept modulo 65536 however long it is.
std::optional<std::uint16_t> ReadPart(std::string_view text) {
  text = Trim(text);
  if (text.empty()) return std::nullopt;
  unsigned value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = (value * 10 + static_cast<unsigned>(c - '0')) % 65536;
  }
  return static_cast<std::uint16_t>(value);
}

std::string_view FirstLine(std::string_view text) {
  return text.substr(0, text.find('\n'));
}

}  // namespace

std::optional<TVersion> ReadVersionFileVersion(std::string_view text) {
  std::string_view line = FirstLine(text);
  std::uint16_t parts[4];
  for (int i = 0; i < 3; ++i) {
    const std::size_t point = line.find('.');
    if (point == std::string_view::npos) return std::nullopt;
    const auto part = ReadPart(line.substr(0, point));
    if (!part) return std::nullopt;
    parts[i] = *part;
    line.remove_prefix(point + 1);
  }
  const auto build = ReadPart(line);
  if (!build) return std::nullopt;
  return TVersion{parts[0], parts[1], parts[2], *build};
}

std::optional<long long> ReadVersionFileSwitch(std::string_view text) {
  const std::size_t end = text.find('\n');
  if (end == std::string_view::npos) return std::nullopt;
  std::string_view rest = text.substr(end + 1);
  while (!rest.empty() && IsBlank(rest.front())) rest.remove_prefix(1);
  bool negative = false;
  if (!rest.empty() && (rest.front() == '-' || rest.front() == '+')) {
    negative = rest.front() == '-';
    rest.remove_prefix(1);
  }
  std::size_t digits = 0;
  long long value = 0;
  constexpr long long kMax = std::numeric_limits<long long>::max();
  while (digits < rest.size() && rest[digits] >= '0' && rest[digits] <= '9') {
    const int digit = rest[digits] - '0';
    value = value > (kMax - digit) / 10 ? kMax : value * 10 + digit;  // huge counts as huge
    ++digits;
  }
  if (digits == 0) return std::nullopt;
  // "5x" is no number; "5 and more" is 5 followed by what is ignored.
  if (digits < rest.size() && !IsBlank(rest[digits])) return std::nullopt;
  return negative ? -value : value;
}

std::string NewVersionQuestion() {
  return Translate("Messages.NewVersion1", "A newer version of Chimequest is available.") + "\r\n" +
         Translate("Messages.NewVersion2", "Would you like to download it?");
}

void RunUpdateCheck(TUpdateSink& sink, const TVersion& own) {
  try {
    const std::string url =
        std::string(product::UpdateServer) + std::string(product::VersionFilePath);
    const std::string text = ReadFileText(FetchURL(url, false, {}, kVersionFileLimits));
    const auto showJobButton = ReadVersionFileSwitch(text);
    if (!showJobButton) return;
    // The switch counts even when the version line cannot be read.
    sink.SetShowJobButton(*showJobButton > 0);
    const auto remote = ReadVersionFileVersion(text);
    if (remote && remote->AsNumber() > own.AsNumber()) {
      sink.OfferNewVersion(NewVersionQuestion(), std::string(product::HomePage));
    }
  } catch (...) {
    // The check never reports its own failures.
  }
}

void StartUpdateCheck(std::shared_ptr<TUpdateSink> sink) {
  try {
    std::thread([sink = std::move(sink)] { RunUpdateCheck(*sink, GetOwnVersion()); }).detach();
  } catch (...) {
    // No thread, no check: silent like every other failure of it.
  }
}

}  // namespace cq
