#pragma once

#include "core/sites/Tags.h"

namespace cq {

// What the parser remembers across elements for deciding where close tags belong.
struct TCloseState {
  bool InForm = false;
  bool InFont = false;
  long TableDepth = 0;
};

// Elements that a start tag of their own name closes.
inline bool ClosesImplicitly(TTag tag) {
  switch (tag) {
    case TTag::P:
    case TTag::LI:
    case TTag::TD:
    case TTag::OPTION:
    case TTag::AREA:
    case TTag::FONT:
    case TTag::TR:
    case TTag::PARAM:
      return true;
    default:
      return false;
  }
}

inline bool IsPhrase(TTag tag) {
  return tag == TTag::P || tag == TTag::B || tag == TTag::I || tag == TTag::U ||
         tag == TTag::STRONG || tag == TTag::CENTER;
}

// What a close tag does to the innermost open element: closes it, leaves it (it ends and the
// tag is read again by its parent), is ignored, or is unmatched.
enum class TAction { Close, Leave, Ignore, Complain };

// The close-tag table: the first row that matches decides. `e` is the innermost open element,
// `n` the close tag's.
inline TAction DecideClose(TTag e, TTag lastChild, TTag n, bool sameName, TCloseState& state) {
  if (sameName) {
    if (n == TTag::TABLE) --state.TableDepth;
    return TAction::Close;
  }
  if (n == TTag::TR && e == TTag::TD) return TAction::Leave;
  if (n == TTag::TABLE && e == TTag::TR) return TAction::Leave;
  if (n == TTag::UL && e == TTag::LI) return TAction::Leave;
  if (n == TTag::TABLE && e == TTag::TD) {
    return state.TableDepth != 0 ? TAction::Leave : TAction::Close;
  }
  if (n == TTag::TD && state.TableDepth == 0) return TAction::Ignore;
  if ((e == TTag::DT || e == TTag::DD) && n == TTag::DL) return TAction::Leave;
  if (e == TTag::AREA && n == TTag::MAP) return TAction::Leave;
  if (IsPhrase(e)) return TAction::Leave;
  if (IsPhrase(n) || n == TTag::IMG || n == TTag::BLOCKQUOTE) return TAction::Ignore;
  if (n == TTag::FORM) {
    state.InForm = false;
    return TAction::Ignore;
  }
  if (e == TTag::FORM) return TAction::Leave;
  if (n == TTag::FONT) {
    state.InFont = false;
    return TAction::Ignore;
  }
  if (e == TTag::FONT) return TAction::Leave;
  if (n == TTag::SPAN) return TAction::Ignore;
  if (lastChild == n && (n == TTag::TD || n == TTag::UL)) return TAction::Ignore;
  return TAction::Complain;
}

}  // namespace cq
