// Value decoding throughput: values per second through DecodeColumnValue for
// NUMBER, DATE and VARCHAR2 columns (and NumberToText alone), on one core.
// The target is at least 20 million NUMBER values per second.
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "reader/packed_codes.h"
#include "reader/value_decode.h"
#include "reader/value_number.h"
#include "testdb/values.h"

using namespace quillon;

namespace {

using Clock = std::chrono::steady_clock;
constexpr double kNumberTarget = 20e6;

std::vector<testdb::Bytes> Numbers(std::mt19937_64& rng, std::size_t count) {
  std::vector<testdb::Bytes> values;
  for (std::size_t i = 0; i < count; ++i) {
    // Typical column values: ids, amounts with two decimals, some negatives.
    char text[48];
    switch (rng() % 4) {
      case 0: std::snprintf(text, sizeof text, "%llu", rng() % 100000000ull); break;
      case 1: std::snprintf(text, sizeof text, "%llu.%02llu", rng() % 1000000ull, rng() % 100ull); break;
      case 2: std::snprintf(text, sizeof text, "-%llu.%03llu", rng() % 100000ull, rng() % 1000ull); break;
      default: std::snprintf(text, sizeof text, "%llu", rng() % 1000ull); break;
    }
    values.push_back(*testdb::EncodeNumber(text));
  }
  return values;
}

std::vector<testdb::Bytes> Dates(std::mt19937_64& rng, std::size_t count) {
  std::vector<testdb::Bytes> values;
  for (std::size_t i = 0; i < count; ++i) {
    const DateTimeFields f{static_cast<int>(1950 + rng() % 80), static_cast<int>(1 + rng() % 12),
                           static_cast<int>(1 + rng() % 28), static_cast<int>(rng() % 24),
                           static_cast<int>(rng() % 60), static_cast<int>(rng() % 60), 0};
    values.push_back(testdb::EncodeDate(f));
  }
  return values;
}

std::vector<testdb::Bytes> Strings(std::mt19937_64& rng, std::size_t count) {
  static const char* kWords[] = {"SMITH", "CLERK", "SALESMAN", "M\u00FCller", "Stra\u00DFe 12", "Caf\u00E9",
                                 "London", "account payable", "\u20AC 100"};
  std::vector<testdb::Bytes> values;
  for (std::size_t i = 0; i < count; ++i) {
    std::string text;
    for (int w = static_cast<int>(1 + rng() % 3); w > 0; --w) text.append(kWords[rng() % 9]).append(" ");
    values.push_back(*testdb::EncodeText(text, DefaultDatabaseCharset()));
  }
  return values;
}

template <typename Decode>
double ValuesPerSecond(const std::vector<testdb::Bytes>& values, Decode decode) {
  std::size_t checksum = 0, decoded = 0;
  const auto start = Clock::now();
  double seconds = 0;
  do {
    for (const auto& v : values) checksum += decode(ByteView(v.data(), v.size()));
    decoded += values.size();
    seconds = std::chrono::duration<double>(Clock::now() - start).count();
  } while (seconds < 1.0);
  if (checksum == 0) std::printf("(empty texts)\n");
  return static_cast<double>(decoded) / seconds;
}

double ColumnRate(const std::vector<testdb::Bytes>& values, std::uint32_t type) {
  DecodeContext context;
  const ColumnDescriptor column{type, 0, "C"};
  return ValuesPerSecond(values, [&](ByteView bytes) {
    return DecodeColumnValue(column, StoredValue{bytes}, DecodeMode::kBrowse, context).text.size();
  });
}

}  // namespace

int main() {
  std::mt19937_64 rng(1);
  constexpr std::size_t kValues = 100000;
  const auto numbers = Numbers(rng, kValues);
  const auto dates = Dates(rng, kValues);
  const auto strings = Strings(rng, kValues);

  const double number_text = ValuesPerSecond(numbers, [](ByteView b) { return NumberToText(b).size(); });
  const double number = ColumnRate(numbers, type_code::kNumber);
  const double date = ColumnRate(dates, type_code::kDate);
  const double varchar = ColumnRate(strings, type_code::kVarchar2);

  std::printf("value decoding, one core, values per second\n");
  std::printf("  NumberToText            %12.0f  (%.2fx the 20M target)\n", number_text, number_text / kNumberTarget);
  std::printf("  NUMBER column           %12.0f  (%.2fx the 20M target)\n", number, number / kNumberTarget);
  std::printf("  DATE column             %12.0f\n", date);
  std::printf("  VARCHAR2 (WE8MSWIN1252) %12.0f\n", varchar);
  return 0;
}
