#pragma once

#include <string>
#include <string_view>

#include "Catalogue.h"
#include "Markup.h"
#include "Media.h"
#include "Reply.h"
#include "WaitingGate.h"

namespace cq::samples {

// The ring shelf's base address: no built-in site reads it, so its host lives only here.
inline constexpr std::string_view RingShelfBase = "http://ringshelf.example";

// What every site's pages are made from.
struct TSiteContext {
  const TCatalogue& Catalogue;
  const TMedia& Media;
  TWaitingGate& Waiting;
  const std::string& Version;  // the update server's newest version, "X.Y.Z.W"
};

// One request to one host: the path without the query, and the query's keys.
struct TRequest {
  std::string Path;
  TQuery Query;
};

// One function per site (or host) answers all of its paths.
TReply ServeRequestCatalog(const TSiteContext& context, const TRequest& request);
TReply ServeMelodyArchiveSearch(const TSiteContext& context, const TRequest& request);
TReply ServeMelodyArchiveFiles(const TSiteContext& context, const TRequest& request);
TReply ServeWapClub(const TSiteContext& context, const TRequest& request);
TReply ServePolyCatalog(const TSiteContext& context, const TRequest& request);
// The tone library's host, upload area included.
TReply ServeToneLibrary(const TSiteContext& context, const TRequest& request);
TReply ServeToneUploads(const TSiteContext& context, const TRequest& request);
TReply ServeMidiArchive(const TSiteContext& context, const TRequest& request);
TReply ServeRingShelf(const TSiteContext& context, const TRequest& request);
TReply ServeUpdateServer(const TSiteContext& context, const TRequest& request);

// A tune's file, or 404 when the tune lacks that kind or is not on `site`.
TReply TuneFile(const TSiteContext& context, TSiteId site, int id, TFileKind kind);

// "<number><suffix>" at the end of a path after `prefix`, such as "/melody/12.shtml"; 0 if not.
int NumberIn(const std::string& path, const std::string& prefix, const std::string& suffix);

}  // namespace cq::samples
