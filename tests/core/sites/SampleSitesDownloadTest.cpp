#include <gmock/gmock.h>

#include "SampleSites.h"
#include "core/sites/MidiArchiveSite.h"
#include "sites/SiteTest.h"

namespace cq::test {
namespace {

using testing::ElementsAreArray;
using testing::StartsWith;

// The MIDI archive as the sample sites play it, with two downloads in three meeting the waiting
// page: the second and third downloads wait, the fourth brings the file.
TEST_F(SiteTest, MidiArchiveDownloadWaitsThroughTheSampleServersWaitingPages) {
  const std::string data = CQ_SAMPLE_SITES_DATA;
  samples::TSampleSites sites(samples::TCatalogue::Load(data + "/catalogue.tsv"),
                              samples::TMedia::Load(data + "/media"), {2.0 / 3.0, "1.0.0.0"});
  server_.On(
      "midiarchive.example", "/",
      [&](const std::string& host, const httplib::Request& request, httplib::Response& response) {
        // Through a proxy the target arrives in absolute form.
        const std::string& target = request.target;
        const std::size_t path = target.find('/', target.find("//") + 2);
        const samples::TReply reply = sites.Handle(host, target.substr(path));
        response.status = reply.Status;
        response.set_content(reply.Body, reply.ContentType);
      });
  int slept = 0;
  const TMidiArchiveSite site(
      [&](std::chrono::seconds time) { slept += static_cast<int>(time.count()); });
  TMelodyList melodies;
  site.Search("love", melodies, NoStop);
  ASSERT_GE(melodies.size(), 2u);

  std::vector<double> retrying;
  const TProgressCallback progress = [&](TJobStatus status, double value) {
    if (status == jsRetrying) retrying.push_back(value);
    return false;
  };
  std::string first;
  site.FetchFile(melodies[0], fmMidi, 0, progress, first);
  EXPECT_TRUE(retrying.empty());
  std::string second;
  site.FetchFile(melodies[1], fmMidi, 0, progress, second);
  EXPECT_THAT(retrying, ElementsAreArray({5.0, 4.0, 3.0, 2.0, 1.0, 10.0, 9.0, 8.0, 7.0, 6.0, 5.0,
                                          4.0, 3.0, 2.0, 1.0}));
  EXPECT_EQ(slept, 15);
  EXPECT_THAT(ReadFileText(first), StartsWith("MThd"));
  EXPECT_THAT(ReadFileText(second), StartsWith("MThd"));
}

}  // namespace
}  // namespace cq::test
