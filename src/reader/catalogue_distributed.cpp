#include "reader/catalogue_distributed.h"

#include <array>
#include <string_view>

#include "reader/text_append.h"

namespace quillon {

namespace {
constexpr std::array<std::string_view, 12> kMonths = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                                      "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
}  // namespace

std::string DictionaryDateText(ByteView bytes) {
  if (bytes.size() != 7) return {};
  const std::uint8_t* b = bytes.data();
  const int month = b[2];
  const int hour24 = b[4] - 1;
  const bool afternoon = hour24 > 11;
  int hour = afternoon ? hour24 - 12 : hour24;
  if (hour == 0) hour = 12;
  std::string text;
  AppendPadded(text, b[3], 2);
  text += '-';
  text += month >= 1 && month <= 12 ? kMonths[static_cast<std::size_t>(month - 1)] : std::string_view("???");
  text += '-';
  AppendPadded(text, b[0] - 100, 2);
  AppendPadded(text, b[1] - 100, 2);
  text += ' ';
  AppendPadded(text, hour, 2);
  text += ':';
  AppendPadded(text, b[5] - 1, 2);
  text += ':';
  AppendPadded(text, b[6] - 1, 2);
  text += afternoon ? " PM" : " AM";
  return text;
}

}  // namespace quillon
