#include "core/transfer/Fetch.h"

#include <curl/curl.h>

#include <cctype>
#include <exception>
#include <filesystem>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <system_error>

#include "core/Errors.h"
#include "core/platform/LockedFile.h"
#include "core/transfer/AddressEncoding.h"
#include "core/transfer/CacheNames.h"
#include "core/transfer/PartialFiles.h"
#include "core/transfer/PrivateAddress.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace cq {

namespace {

constexpr double kUnknownTotal = 2147483647.0;
constexpr std::size_t kReportEvery = 256;

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) !=
        std::tolower(static_cast<unsigned char>(prefix[i])))
      return false;
  }
  return true;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
    text.remove_prefix(1);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
    text.remove_suffix(1);
  return text;
}

[[noreturn]] void ThrowIoError(int code, const std::string& what) {
  throw std::system_error(code, std::generic_category(), what);
}

void EnsureCurl() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// Every fetch on any thread draws on one pool of open connections, so that the jobs' many small
// requests to one server do not each pay for a new connection.
std::mutex g_shareLocks[CURL_LOCK_DATA_LAST];

void LockShare(CURL*, curl_lock_data data, curl_lock_access, void*) {
  g_shareLocks[data].lock();
}
void UnlockShare(CURL*, curl_lock_data data, void*) {
  g_shareLocks[data].unlock();
}

// Made once and never freed: job threads the program does not wait for may still use it at exit.
CURLSH* SharedConnections() {
  static CURLSH* const share = [] {
    CURLSH* made = curl_share_init();
    if (made != nullptr) {
      curl_share_setopt(made, CURLSHOPT_LOCKFUNC, &LockShare);
      curl_share_setopt(made, CURLSHOPT_UNLOCKFUNC, &UnlockShare);
      curl_share_setopt(made, CURLSHOPT_SHARE, CURL_LOCK_DATA_CONNECT);
      curl_share_setopt(made, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
    }
    return made;
  }();
  return share;
}

struct CurlDeleter {
  void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};
struct ListDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

// One download into one partial file, made when the answer's first byte arrives, so a fetch that
// never gets an answer leaves nothing in the cache. Exceptions never cross libcurl: a throwing
// callback ends the transfer and its exception is rethrown once the transfer is cleaned up.
class Transfer {
 public:
  Transfer(CURL* curl, std::string partial, const TFetchContext& fetch, std::uint64_t maxBytes)
      : curl_(curl), partial_(std::move(partial)), fetch_(fetch), maxBytes_(maxBytes) {}

  static std::size_t OnData(char* data, std::size_t, std::size_t size, void* self) {
    return static_cast<Transfer*>(self)->Write(data, size);
  }
  static std::size_t OnHeader(char* line, std::size_t, std::size_t size, void* self) {
    auto* transfer = static_cast<Transfer*>(self);
    transfer->Arrived(size);
    return transfer->Header(std::string_view(line, size)) ? size : 0;
  }
  static int OnTick(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<Transfer*>(self)->Poll() ? 1 : 0;
  }

  const std::string& partial() const { return partial_; }
  bool aborted() const { return aborted_; }
  bool stalled() const { return stalled_; }
  int writeError() const { return writeError_; }
  double done() const { return done_; }
  curl_off_t announced() const { return announced_; }
  void RethrowCallbackError() const {
    if (callbackError_) std::rethrow_exception(callbackError_);
  }
  // Ends the writing; answers the error of its last writes, 0 when none. The file stays locked
  // until the transfer ends, so that it is moved into place before anyone may sweep it.
  int Close() { return out_.Close().value(); }
  void RemovePartial() {
    std::error_code ignored;
    fs::remove(partial_, ignored);
  }

 private:
  // A redirect is checked before it is followed: a server must not send the program to the
  // user's own machine or network.
  bool Header(std::string_view line) {
    if (StartsWithNoCase(line, "HTTP/")) {
      const std::size_t space = line.find(' ');
      redirecting_ =
          space != std::string_view::npos && space + 1 < line.size() && line[space + 1] == '3';
    } else if (redirecting_ && StartsWithNoCase(line, "Location:")) {
      const char* current = nullptr;
      curl_easy_getinfo(curl_, CURLINFO_EFFECTIVE_URL, &current);
      refused_ = IsRefusedAddress(std::string(Trim(line.substr(9))), current ? current : "");
    }
    return !refused_;
  }

  void Arrived(std::size_t size) {
    lastByte_ = Clock::now();
    windowBytes_ += size;
  }

  std::size_t Write(const char* data, std::size_t size) {
    Arrived(size);
    if (!started_) {
      started_ = true;
      curl_easy_getinfo(curl_, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced_);
      total_ = announced_ > 0 ? static_cast<double>(announced_) : kUnknownTotal;
    }
    // Refused before a byte is stored when the length is announced, else when it is reached.
    if (static_cast<std::uint64_t>(announced_ > 0 ? announced_ : 0) > maxBytes_ ||
        size > maxBytes_ - received_)
      return 0;
    received_ += size;
    if (!out_.IsOpen() && !Open()) return 0;
    if (const std::error_code error = out_.Write(data, size)) {
      writeError_ = error.value();
      return 0;
    }
    // Report each 256-byte piece, so a stop request is seen within 256 bytes.
    for (std::size_t offset = 0; offset < size; offset += kReportEvery) {
      const std::size_t piece = size - offset < kReportEvery ? size - offset : kReportEvery;
      done_ += static_cast<double>(piece);
      if (Report(jsDownloading, done_ / total_)) return 0;
    }
    return size;
  }

  bool Open() {
    std::error_code error;
    fs::create_directories(fs::path(partial_).parent_path(), error);
    error = out_.Create(partial_);
    writeError_ = error.value();
    return !error;
  }

  // curl calls this while it waits too, so a stalled connection still sees a stop request and
  // its time limit.
  bool Poll() {
    if (aborted_) return true;
    const Clock::time_point now = Clock::now();
    curl_off_t connected = 0;
    curl_easy_getinfo(curl_, CURLINFO_CONNECT_TIME_T, &connected);
    // Connecting has a limit of its own; the stall and speed clocks start once connected.
    if (connected == 0) {
      lastByte_ = now;
      windowStart_ = now;
      windowBytes_ = 0;
    }
    if (now - lastByte_ >= fetch_.Timeouts.Stall || TooSlow(now)) {
      stalled_ = true;
      return true;
    }
    return started_ ? Report(jsDownloading, done_ / total_) : Report(jsConnecting, 0.0);
  }

  // Over each whole window, at least the floor's bytes a second, headers included: a byte now
  // and then keeps a transfer from stalling but not from being too slow.
  bool TooSlow(Clock::time_point now) {
    const auto window = std::chrono::duration_cast<std::chrono::milliseconds>(now - windowStart_);
    if (window < fetch_.Timeouts.SlowWindow) return false;
    const auto least = fetch_.Timeouts.SlowSpeed * static_cast<std::uint64_t>(window.count());
    if (windowBytes_ * 1000 < least) return true;
    windowStart_ = now;
    windowBytes_ = 0;
    return false;
  }

  bool Report(TJobStatus status, double progress) {
    if (!fetch_.Progress) return false;
    try {
      if (fetch_.Progress(status, progress)) aborted_ = true;
    } catch (...) {
      callbackError_ = std::current_exception();
      aborted_ = true;
    }
    return aborted_;
  }

  CURL* curl_;
  std::string partial_;
  TLockedFile out_;
  const TFetchContext& fetch_;
  std::uint64_t maxBytes_;
  std::uint64_t received_ = 0;
  Clock::time_point lastByte_ = Clock::now();
  Clock::time_point windowStart_ = lastByte_;
  std::uint64_t windowBytes_ = 0;
  std::exception_ptr callbackError_;
  bool started_ = false;
  bool aborted_ = false;
  bool redirecting_ = false;
  bool refused_ = false;
  bool stalled_ = false;
  int writeError_ = 0;
  double done_ = 0;
  double total_ = kUnknownTotal;
  curl_off_t announced_ = -1;
};

void Configure(CURL* curl, const std::string& url, curl_slist* headers, Transfer& transfer,
               std::chrono::milliseconds connectLimit, std::chrono::milliseconds totalLimit) {
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_USERAGENT, "Chimequest");
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 10L);
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(connectLimit.count()));
  curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(totalLimit.count()));
  curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_BUFFERSIZE, 262144L);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &Transfer::OnData);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
  curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, &Transfer::OnHeader);
  curl_easy_setopt(curl, CURLOPT_HEADERDATA, &transfer);
  curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &Transfer::OnTick);
  curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &transfer);
  curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
  if (CURLSH* share = SharedConnections(); share != nullptr)
    curl_easy_setopt(curl, CURLOPT_SHARE, share);
}

}  // namespace

std::string FetchURL(const std::string& url, bool useCache, const TFetchContext& fetch,
                     const TFetchLimits& limits) {
  const TProgressCallback& progress = fetch.Progress;
  const std::string name = CacheFileName(url);
  std::error_code error;
  if (useCache && fs::is_regular_file(name, error)) {
    if (progress) progress(jsProcessing, 0.0);
    return name;
  }
  if (progress && progress(jsConnecting, 0.0)) throw EAbort();
  const std::string wire = WireAddress(url);
  if (IsRefusedAddress(wire)) throw std::runtime_error("Cannot open URL " + url);

  EnsureCurl();
  std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
  if (!curl) throw std::runtime_error("Unable to initialize WinInet");

  std::unique_ptr<curl_slist, ListDeleter> headers(
      curl_slist_append(nullptr, "Accept-Charset: windows-1251"));
  // No proxy or other intermediate cache may answer for the server.
  headers.reset(curl_slist_append(headers.release(), "Cache-Control: no-cache"));
  headers.reset(curl_slist_append(headers.release(), "Pragma: no-cache"));

  Transfer transfer(curl.get(), PartialFileName(name), fetch, limits.MaxBytes);
  Configure(curl.get(), wire, headers.get(), transfer, fetch.Timeouts.Connect, limits.Total);
  const CURLcode result = curl_easy_perform(curl.get());
  long status = 0;
  curl_easy_getinfo(curl.get(), CURLINFO_RESPONSE_CODE, &status);
  const int closeError = transfer.Close();

  // A short body is a broken transfer even when the connection closed cleanly.
  const bool whole =
      transfer.announced() < 0 || transfer.done() == static_cast<double>(transfer.announced());
  // Only a success with a body is a page: an empty answer, a 204 or a redirect that went nowhere
  // would stand in the cache for the page until it expires.
  const bool answered = status >= 200 && status < 300 && transfer.done() > 0;
  const bool complete =
      result == CURLE_OK && answered && closeError == 0 && transfer.writeError() == 0 && whole;
  const std::string& partial = transfer.partial();
  if (transfer.aborted() || !complete) {
    transfer.RemovePartial();
    transfer.RethrowCallbackError();
    if (transfer.aborted()) {
      if (progress) progress(jsProcessing, 0.0);
      throw EAbort();
    }
    if (transfer.writeError() != 0) ThrowIoError(transfer.writeError(), "Cannot write " + partial);
    if (closeError != 0) ThrowIoError(closeError, "Cannot write " + partial);
    throw std::runtime_error("Cannot open URL " + url);
  }
  std::string stored = InstallPartial(partial, name);
  if (progress) progress(jsProcessing, 0.0);
  return stored;
}

}  // namespace cq
