#pragma once

#include <QString>

#include "core/app/ResultModel.h"

namespace cq {

// A melody row whose page is read and that no job works for: its formats can be offered.
inline bool MenuReady(const TResult& row) {
  return row.Kind == rkMelody && row.Melody.Processed && !row.Waiting && row.Job == nullptr &&
         row.ErrorText.empty();
}

// A format's entry in a menu, its mnemonic unique among the four.
inline constexpr const char* FormatMenuCaptions[FormatCount] = {"&WAV", "M&IDI", "&MMF", "M&P3"};

inline QString FormatCaption(TMelodyFormat format) {
  return QString::fromLatin1(FormatNames[format].data(),
                             static_cast<qsizetype>(FormatNames[format].size()));
}

}  // namespace cq
