#include "reader/split_value.h"

namespace quillon {

void SplitValue::Hold(ByteView part) {
  bytes_.assign(part.data(), part.data() + part.size());
  holding_ = true;
}

void SplitValue::Append(ByteView part) {
  if (!holding_) {
    Hold(part);
    return;
  }
  bytes_.insert(bytes_.end(), part.data(), part.data() + part.size());
}

StoredValue SplitValue::Finish(ByteView last_part) {
  if (!holding_) return StoredValue{last_part, false, false};
  bytes_.insert(bytes_.end(), last_part.data(), last_part.data() + last_part.size());
  holding_ = false;
  return StoredValue{ByteView(bytes_.data(), bytes_.size()), false, true};
}

void SplitValue::Release() {
  bytes_.clear();
  bytes_.shrink_to_fit();
  holding_ = false;
}

}  // namespace quillon
