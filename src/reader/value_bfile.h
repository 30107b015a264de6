// BFILE locators as the text "directory','file" that the INSERT builder
// closes into BFILENAME('directory','file').
#pragma once

#include <string>

#include "reader/bytes.h"
#include "reader/charset.h"

namespace quillon {

// The directory alias and file name of a BFILE locator, converted like
// character data of the database character set. A locator cut short gives
// what it holds (an empty name when the name's length is missing).
std::string BfileToText(ByteView bytes, const CharsetDecoder& charset);

}  // namespace quillon
