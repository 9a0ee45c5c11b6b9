#include "support/FaultOrigin.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <random>

#include "RequestTarget.h"
#include "core/sites/SiteHosts.h"

namespace cq::test {

namespace {

std::string Bare(std::string_view address) {
  constexpr std::string_view scheme = "http://";
  return std::string(address.substr(scheme.size()));
}

std::shared_ptr<const std::string> MakeGarbage(std::size_t size) {
  auto garbage = std::make_shared<std::string>(size, '\0');
  std::mt19937_64 random(20260607);
  for (std::size_t i = 0; i + 8 <= size; i += 8) {
    const std::uint64_t word = random();
    for (int b = 0; b < 8; ++b)
      (*garbage)[i + static_cast<std::size_t>(b)] = static_cast<char>(word >> (8 * b));
  }
  return garbage;
}

std::string PathAndQuery(const httplib::Request& request) {
  return http::SplitRequestTarget(request.target, request.get_header_value("Host")).PathAndQuery;
}

}  // namespace

const std::vector<std::string>& SampleHosts() {
  static const std::vector<std::string> hosts = {
      Bare(hosts::RequestCatalog),     Bare(hosts::MelodyArchiveSearch),
      Bare(hosts::MelodyArchiveFiles), Bare(hosts::WapClub),
      Bare(hosts::PolyCatalog),        Bare(hosts::ToneLibrary),
      Bare(hosts::MidiArchive)};
  return hosts;
}

FaultOrigin::FaultOrigin(const std::string& dataFolder)
    : sites_(samples::TCatalogue::Load(dataFolder + "/catalogue.tsv"),
             samples::TMedia::Load(dataFolder + "/media"), {0.0, "1.0.0.0"}),
      garbage_(MakeGarbage(GarbageSize)) {
  for (const std::string& host : SampleHosts()) {
    server_.On(host, "/",
               [this](const std::string& asked, const httplib::Request& request,
                      httplib::Response& response) { Answer(asked, request, response); });
  }
}

FaultOrigin::~FaultOrigin() {
  Release();
}

void FaultOrigin::Break(const std::string& host, const std::string& prefix, TFault fault) {
  if (fault == TFault::RedirectToLoopback) {
    server_.On("127.0.0.1:" + std::to_string(Port()), "/",
               [this, host](const std::string&, const httplib::Request& request,
                            httplib::Response& response) { Answer(host, request, response); });
  }
  server_.On(
      host, prefix,
      [this, fault](const std::string& asked, const httplib::Request& request,
                    httplib::Response& response) { Misbehave(fault, asked, request, response); });
  std::lock_guard guard(lock_);
  broken_[host + prefix] = true;
}

void FaultOrigin::Heal() {
  Release();
  std::map<std::string, bool> broken;
  {
    std::lock_guard guard(lock_);
    broken.swap(broken_);
  }
  for (const auto& [route, unused] : broken) {
    const std::size_t slash = route.find('/');
    server_.On(route.substr(0, slash), route.substr(slash),
               [this](const std::string& asked, const httplib::Request& request,
                      httplib::Response& response) { Answer(asked, request, response); });
  }
}

void FaultOrigin::Release() {
  std::lock_guard guard(lock_);
  release_ = true;
  released_.notify_all();
}

bool FaultOrigin::WaitForRelease() {
  std::unique_lock guard(lock_);
  return released_.wait_for(guard, std::chrono::seconds(60), [this] { return release_; });
}

std::shared_ptr<const std::string> FaultOrigin::Served(const std::string& url) const {
  std::lock_guard guard(lock_);
  const auto found = served_.find(url);
  return found == served_.end() ? nullptr : found->second;
}

std::vector<std::string> FaultOrigin::TrickledUrls() const {
  std::lock_guard guard(lock_);
  return trickled_;
}

std::string FaultOrigin::Url(const std::string& host, const httplib::Request& request) {
  return "http://" + host + PathAndQuery(request);
}

void FaultOrigin::Record(const std::string& url, std::shared_ptr<const std::string> body) {
  std::lock_guard guard(lock_);
  served_[url] = std::move(body);
}

void FaultOrigin::Answer(const std::string& host, const httplib::Request& request,
                         httplib::Response& response) {
  samples::TReply reply = sites_.Handle(host, PathAndQuery(request));
  response.status = reply.Status;
  if (reply.Status < 400) Record(Url(host, request), std::make_shared<std::string>(reply.Body));
  response.set_content(reply.Body, reply.ContentType.c_str());
}

void FaultOrigin::Misbehave(TFault fault, const std::string& host, const httplib::Request& request,
                            httplib::Response& response) {
  const std::string url = Url(host, request);
  const auto page = std::make_shared<std::string>(std::string(4096, 'x'));
  switch (fault) {
    case TFault::StallBeforeHeaders:
      WaitForRelease();
      response.status = 503;
      return;
    case TFault::StallMidPage:
      response.set_chunked_content_provider(
          "text/html", [this, page](std::size_t offset, httplib::DataSink& sink) {
            if (offset == 0) return sink.write(page->data(), 1024);
            WaitForRelease();
            return false;
          });
      return;
    case TFault::DropMidPage:
      response.set_content_provider(
          page->size(), "text/html",
          [page](std::size_t offset, std::size_t, httplib::DataSink& sink) {
            return offset == 0 && sink.write(page->data(), page->size() / 2);
          });
      return;
    case TFault::DropChunked:
      response.set_chunked_content_provider(
          "text/html", [page](std::size_t offset, httplib::DataSink& sink) {
            return offset == 0 && sink.write(page->data(), page->size() / 2);
          });
      return;
    case TFault::ServerError:
      response.status = 500;
      response.set_content("<html><body><h1>Internal Server Error</h1></body></html>", "text/html");
      return;
    case TFault::Garbage:
    case TFault::Oversize: {
      const auto garbage = garbage_;
      if (fault == TFault::Garbage) Record(url, garbage);
      response.set_content_provider(
          fault == TFault::Garbage ? GarbageSize : OversizeSize, "text/html",
          [garbage](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
            const std::size_t at = offset % garbage->size();
            return sink.write(garbage->data() + at,
                              std::min({length, garbage->size() - at, std::size_t{1} << 16}));
          });
      return;
    }
    case TFault::EmptyAnswer:
      response.set_content("", "text/html");
      return;
    case TFault::Trickle: {
      {
        std::lock_guard guard(lock_);
        trickled_.push_back(url);
      }
      ++activeTrickles_;
      response.set_content_provider(
          1u << 20, "application/octet-stream",
          [this, page](std::size_t, std::size_t, httplib::DataSink& sink) {
            if (!sink.write(page->data(), 64)) return false;
            std::unique_lock guard(lock_);
            return !released_.wait_for(guard, std::chrono::milliseconds(100),
                                       [this] { return release_; });
          },
          [this](bool) { --activeTrickles_; });
      return;
    }
    case TFault::RedirectLoop:
    case TFault::RedirectToLoopback:
      response.status = 302;
      response.set_header("Location", fault == TFault::RedirectLoop
                                          ? url
                                          : "http://127.0.0.1:" + std::to_string(Port()) +
                                                url.substr(url.find('/', std::strlen("http://"))));
      response.set_content("<html>moved</html>", "text/html");
      return;
  }
}

}  // namespace cq::test
