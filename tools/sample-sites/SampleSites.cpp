#include "SampleSites.h"

#include <array>

#include "SiteContext.h"
#include "core/Product.h"
#include "core/platform/Text.h"
#include "core/platform/UserFolders.h"
#include "core/sites/SiteHosts.h"

namespace cq::samples {

namespace {

using TServe = TReply (*)(const TSiteContext&, const TRequest&);

struct THost {
  std::string_view Base;
  TServe Serve;
};

const std::array<THost, 9> kHosts = {{
    {hosts::RequestCatalog, ServeRequestCatalog},
    {hosts::MelodyArchiveSearch, ServeMelodyArchiveSearch},
    {hosts::MelodyArchiveFiles, ServeMelodyArchiveFiles},
    {hosts::WapClub, ServeWapClub},
    {hosts::PolyCatalog, ServePolyCatalog},
    {hosts::ToneLibrary, ServeToneLibrary},
    {hosts::MidiArchive, ServeMidiArchive},
    {RingShelfBase, ServeRingShelf},
    {product::UpdateServer, ServeUpdateServer},
}};

std::string_view HostName(std::string_view base) {
  constexpr std::string_view scheme = "http://";
  return base.substr(scheme.size());
}

}  // namespace

TSampleSites::TSampleSites(TCatalogue catalogue, TMedia media, TSampleSitesOptions options)
    : catalogue_(std::move(catalogue)),
      media_(std::move(media)),
      waiting_(options.WaitingShare),
      version_(std::move(options.Version)) {}

TReply TSampleSites::Handle(const std::string& host, const std::string& target) {
  const std::string name = LowerLatin(host.substr(0, host.find(':')));
  const std::size_t question = target.find('?');
  TRequest request;
  request.Path = target.substr(0, question);
  if (question != std::string::npos) request.Query = ParseQuery(target.substr(question + 1));
  const TSiteContext context{catalogue_, media_, waiting_, version_};
  for (const THost& candidate : kHosts) {
    if (HostName(candidate.Base) == name) return candidate.Serve(context, request);
  }
  return NotFound();
}

std::string DefaultDataFolder() {
  return ExecutableFolder() + "sample-sites";
}

}  // namespace cq::samples
