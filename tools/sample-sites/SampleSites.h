#pragma once

#include <string>

#include "Catalogue.h"
#include "Media.h"
#include "Reply.h"
#include "WaitingGate.h"

namespace cq::samples {

struct TSampleSitesOptions {
  double WaitingShare = 0.2;  // of the MIDI archive's downloads that meet its waiting page
  std::string Version;        // the update server's newest version
};

// The eight sites and the update server, told apart by host: answers one request at a time, from
// any thread.
class TSampleSites {
 public:
  TSampleSites(TCatalogue catalogue, TMedia media, TSampleSitesOptions options);

  // `host` as the client named it (a port is ignored), `target` the path with its query.
  TReply Handle(const std::string& host, const std::string& target);

 private:
  TCatalogue catalogue_;
  TMedia media_;
  TWaitingGate waiting_;
  std::string version_;
};

// The folder with the catalogue and the recordings: beside the program when installed or built.
std::string DefaultDataFolder();

}  // namespace cq::samples
