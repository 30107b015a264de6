// ROWID and UROWID values as the restricted row address text: eight hex
// digits of block, ".", four of row, ".", four of file ("000000fd.0001.0005"
// is row 1 of block 253 in relative file 5).
#pragma once

#include <string>

#include "reader/bytes.h"

namespace quillon {

// A 10-byte ROWID (the data object number is not shown; bytes after the
// tenth are ignored). Fewer bytes give an empty text.
std::string RowidToText(ByteView bytes);
// A physical UROWID (13 bytes: block, row, file as above). Fewer bytes give
// an empty text.
std::string UrowidToText(ByteView bytes);

}  // namespace quillon
