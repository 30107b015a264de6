// BFILE locators as the text "directory','file" that the INSERT builder
// closes into BFILENAME('directory','file').
#pragma once

#include <string>

#include "reader/bytes.h"
#include "reader/charset.h"

namespace quillon {

// The directory alias and file name of a BFILE locator, converted like
// character data of the database character set; complete unless the
// locator was cut short, in which case the names hold what it holds (an
// empty name when the name's length is missing).
struct BfileNames {
  std::string directory;
  std::string file;
  bool complete = false;
};
BfileNames ReadBfileNames(ByteView bytes, const CharsetDecoder& charset);

// The names as the text "directory','file".
std::string BfileToText(ByteView bytes, const CharsetDecoder& charset);

}  // namespace quillon
