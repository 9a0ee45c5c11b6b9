#include "core/sites/ParseDebug.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "core/platform/ExceptionReport.h"
#include "core/platform/Text.h"
#include "core/platform/UserFolders.h"
#include "core/transfer/FileText.h"

namespace fs = std::filesystem;

namespace cq {

namespace {

// A site name as part of a file name: UTF-8 on disk, and no separator that would make a path.
std::string FileNamePart(const std::string& siteName) {
  std::string name = Cp1251ToUtf8(siteName);
  for (char& c : name) {
    if (c == '/' || c == '\\' || c == '\0') c = '_';
  }
  return name;
}

std::string WithCrLf(const std::string& text) {
  std::string out;
  out.reserve(text.size() + text.size() / 32);
  for (const char c : text) {
    if (c == '\n' && (out.empty() || out.back() != '\r')) out += '\r';
    out += c;
  }
  return out;
}

// The highest number a dump file in the folder begins with; 0 when there is none.
int HighestDumpNumber() {
  int highest = 0;
  std::error_code error;
  for (fs::directory_iterator entry(DumpFolder, error), end; !error && entry != end;
       entry.increment(error)) {
    const std::string name = entry->path().filename().string();
    int number = 0;
    const auto [next, failure] = std::from_chars(name.data(), name.data() + name.size(), number);
    if (failure == std::errc() && next != name.data() + name.size() && *next == '-') {
      highest = std::max(highest, number);
    }
  }
  return highest;
}

// Creates the file, empty, unless a file of that name exists (then false): a dump of another
// process or an earlier run is never overwritten.
bool CreateNewFile(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "wbx");
  if (file == nullptr) {
    if (errno == EEXIST) return false;
    throw std::system_error(errno, std::generic_category(), "Cannot create " + path);
  }
  std::fclose(file);
  return true;
}

}  // namespace

std::string DumpMarkerPath() {
#ifdef _WIN32
  return "C:\\setpath.bat";
#else
  return UserConfigFolder() + "/Chimequest/dump-pages";
#endif
}

void TPageDumper::Dump(const TSite& site, const std::string& context, const std::string& pageText,
                       const std::exception& failure) {
  std::error_code error;
  if (!fs::exists(DumpMarkerPath(), error)) return;
  fs::create_directory(DumpFolder, error);
  std::string base;
  {
    // Numbers go on past every file in the folder, and the claim is the file itself.
    const std::lock_guard<std::mutex> lock(numbering_);
    int number = std::max(lastNumber_, HighestDumpNumber());
    do {
      base = std::string(DumpFolder) + "/" + std::to_string(++number) + "-" +
             FileNamePart(site.GetName());
    } while (!CreateNewFile(base + ".html"));
    lastNumber_ = number;
  }
  WriteFileText(std::string_view(pageText).substr(0, DumpPageLimit), base + ".html");
  std::string report = context + "\r\n\r\n" + WithCrLf(ExceptionReport(failure));
  if (pageText.size() > DumpPageLimit) {
    report += "\r\nThe page is cut to its first " + std::to_string(DumpPageLimit) + " of " +
              std::to_string(pageText.size()) + " bytes.\r\n";
  }
  WriteFileText(report, base + ".txt");
}

void DumpPage(const TSite& site, const std::string& context, const std::string& pageText,
              const std::exception& failure) {
  // Never destroyed: a job thread may still dump while the program ends.
  static TPageDumper& dumper = *new TPageDumper;
  dumper.Dump(site, context, pageText, failure);
}

}  // namespace cq
