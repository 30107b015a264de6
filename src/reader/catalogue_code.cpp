#include "reader/catalogue_code.h"

#include "reader/dictionary_segments.h"

namespace quillon {

namespace {

// Release 9: "-- comment\n" becomes "/*  comment\n*/ \r\n".
std::string CommentsAsBlocks(std::string_view body) {
  std::string out;
  out.reserve(body.size() + body.size() / 8);
  std::size_t i = 0;
  while (i < body.size()) {
    if (body.compare(i, 2, "--") == 0) {
      const std::size_t end = body.find('\n', i + 2);
      const std::size_t stop = end == std::string_view::npos ? body.size() : end + 1;
      out += "/* ";
      out.append(body.substr(i + 2, stop - i - 2));
      out += "*/ \r\n";
      i = stop;
    } else {
      out.push_back(body[i++]);
    }
  }
  return out;
}

// Later releases: every line feed gets a carriage return before it.
std::string LineFeedsAsCrLf(std::string_view body) {
  std::string out;
  out.reserve(body.size() + body.size() / 16);
  for (std::size_t i = 0; i < body.size(); ++i) {
    if (body[i] == '\n' && (i == 0 || body[i - 1] != '\r')) out.push_back('\r');
    out.push_back(body[i]);
  }
  return out;
}

}  // namespace

std::string TriggerBodyText(std::string_view body, int release_code) {
  if (LayoutFor(release_code).comment_blocks) return CommentsAsBlocks(body);
  return LineFeedsAsCrLf(body);
}

}  // namespace quillon
