// A column value split over row pieces.
//
// When a row piece's last column continues in the next piece (row flag N),
// its bytes are held and nothing is decoded; the next piece's first column
// (row flag P) continues it. A piece with a single column that both continues
// and is continued adds its bytes and keeps holding. The last continuation
// completes the value, which is then decoded as one (a NUMBER zero joined
// this way keeps the text "0.0000"). At most one value is held at a time.
#pragma once

#include <cstdint>
#include <vector>

#include "reader/bytes.h"
#include "reader/value_decode.h"

namespace quillon {

class SplitValue {
 public:
  // Starts holding the first part of a value (drops anything still held).
  void Hold(ByteView part);
  // Adds a middle part: a piece whose only column continues in turn.
  void Append(ByteView part);
  // Adds the last part and returns the joined value, marked as joined. Its
  // bytes stay valid until the next Hold or Release. Without a held first
  // part (its piece was lost) the last part alone is returned, not joined.
  StoredValue Finish(ByteView last_part);
  // Forgets the held value.
  void Release();

  bool holding() const { return holding_; }
  std::size_t held_size() const { return bytes_.size(); }

 private:
  std::vector<std::uint8_t> bytes_;
  bool holding_ = false;
};

}  // namespace quillon
