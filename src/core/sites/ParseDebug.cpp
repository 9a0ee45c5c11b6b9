#include "core/sites/ParseDebug.h"

#include <filesystem>
#include <system_error>

#include "core/platform/ExceptionReport.h"
#include "core/platform/Text.h"
#include "core/platform/UserFolders.h"
#include "core/transfer/Inet.h"

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
  const int number = counter_.fetch_add(1, std::memory_order_relaxed) + 1;
  const std::string base =
      std::string(DumpFolder) + "/" + std::to_string(number) + "-" + FileNamePart(site.GetName());
  WriteFileText(pageText, base + ".html");
  WriteFileText(context + "\r\n\r\n" + WithCrLf(ExceptionReport(failure)), base + ".txt");
}

void DumpPage(const TSite& site, const std::string& context, const std::string& pageText,
              const std::exception& failure) {
  // Never destroyed: a job thread may still dump while the program ends.
  static TPageDumper& dumper = *new TPageDumper;
  dumper.Dump(site, context, pageText, failure);
}

}  // namespace cq
