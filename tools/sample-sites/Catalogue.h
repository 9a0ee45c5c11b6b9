#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace cq::samples {

// The played sites: the seven built-in ones in the program's registration order, then the ring
// shelf, which no built-in scraper reads.
enum TSiteId : std::uint8_t {
  siRequestCatalog,
  siMelodyArchive,
  siWapClub,
  siPolyCatalog,
  siToneLibrary,
  siMidiArchive,
  siToneUploads,
  siRingShelf,
};
inline constexpr int SiteCount = 8;

// The files a tune can come in; a site offers those of a tune's kinds it knows.
enum TFileKind : std::uint8_t { fkWav, fkMidi, fkMonoMidi, fkMmf, fkVibMmf, fkMp3 };

struct TTune {
  int Id = 0;
  std::string Performer;  // UTF-8
  std::string Title;      // UTF-8
  unsigned Kinds = 0;     // bit per TFileKind
  unsigned Sites = 0;     // bit per TSiteId

  bool Has(TFileKind kind) const { return (Kinds & (1u << kind)) != 0; }
  bool On(TSiteId site) const { return (Sites & (1u << site)) != 0; }
  std::string FullTitle() const { return Performer + " - " + Title; }
};

// The sample catalogue, read from a tab-separated file:
// id, performer, title, kinds (wav,mid,mono,mmf,vib,mp3), sites (rc,ma,wap,pc,tl,mi,tu,rs).
class TCatalogue {
 public:
  static TCatalogue Load(const std::string& fileName);
  static TCatalogue Parse(std::string_view text);

  const std::vector<TTune>& Tunes() const { return tunes_; }
  const TTune* Find(int id) const;
  // The tunes on `site` whose title (or "performer - title" where the site shows the performer)
  // holds `term` in any letter case. The term is windows-1251, as the HTML sites receive it.
  std::vector<const TTune*> Search(TSiteId site, std::string_view term) const;

 private:
  struct TKeys {
    std::string Title;  // lower-case windows-1251
    std::string Full;
  };
  std::vector<TTune> tunes_;
  std::vector<TKeys> keys_;
};

// Whether the site shows the performer beside the title (and so matches on it).
bool ShowsPerformer(TSiteId site);

// Case folding of windows-1251 text: Latin, Cyrillic and Ё.
std::string LowerCp1251(std::string_view text);

}  // namespace cq::samples
