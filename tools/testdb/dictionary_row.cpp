#include "testdb/dictionary_row.h"

#include <stdexcept>

#include "reader/format.h"
#include "testdb/default_database.h"
#include "testdb/values.h"

namespace quillon::testdb {

void CompactRows::Append(std::span<const ColumnBytes* const> columns) {
  // Trailing NULL columns are not stored (the layout engine drops them too).
  std::size_t n = columns.size();
  while (n > 0 && !*columns[n - 1]) --n;
  starts_.push_back(static_cast<std::uint32_t>(data_.size()));
  data_.push_back(static_cast<std::uint8_t>(n));
  for (std::size_t i = 0; i < n; ++i) AppendColumn(data_, *columns[i]);
}

bool CompactRows::Get(std::size_t index, RowBuffer& buffer) const {
  if (index >= starts_.size()) return false;
  const std::uint8_t* p = data_.data() + starts_[index];
  const std::size_t n = *p++;
  for (std::size_t i = 0; i < n; ++i) {
    const std::uint8_t length = *p++;
    if (length == format::row::kNullLength) {
      buffer.AddNull();
      continue;
    }
    std::size_t size = length;
    if (length == format::row::kLongLength) {
      size = static_cast<std::size_t>(p[0]) << 8 | p[1];
      p += 2;
    }
    buffer.Add(std::span<const std::uint8_t>(p, size));
    p += size;
  }
  return true;
}

RowGenerator CompactRows::Generator(std::shared_ptr<const CompactRows> self) const {
  return [rows = std::move(self)](std::uint64_t index, RowBuffer& buffer) {
    return rows->Get(static_cast<std::size_t>(index), buffer);
  };
}

Bytes NumberBytes(std::int64_t value) {
  return value >= 0 ? SmallNumber(static_cast<std::uint64_t>(value)) : EncodeNumber(value);
}

DictRow::DictRow(const DictTable& table, const CharsetInfo& charset)
    : table_(&table), charset_(&charset), values_(table.columns.size()) {}

std::size_t DictRow::Index(std::string_view column) const {
  const int i = table_->Index(column);
  if (i < 0) throw std::logic_error(table_->name + " has no column " + std::string(column));
  return static_cast<std::size_t>(i);
}

DictRow& DictRow::Num(std::string_view column, std::int64_t value) {
  values_[Index(column)] = NumberBytes(value);
  return *this;
}

DictRow& DictRow::Num(std::string_view column, std::optional<std::int64_t> value) {
  if (value) return Num(column, *value);
  values_[Index(column)].reset();
  return *this;
}

DictRow& DictRow::NumText(std::string_view column, const std::optional<std::string>& decimal) {
  auto& slot = values_[Index(column)];
  slot.reset();
  if (decimal) {
    auto b = EncodeNumber(*decimal);
    if (!b) throw std::invalid_argument("not a number: " + *decimal);
    slot = std::move(*b);
  }
  return *this;
}

DictRow& DictRow::Text(std::string_view column, std::string_view text) {
  auto& slot = values_[Index(column)];
  slot.reset();
  if (!text.empty()) {
    auto b = EncodeText(text, *charset_);
    if (!b) throw std::invalid_argument("text not encodable in " + std::string(charset_->name));
    slot = std::move(*b);
  }
  return *this;
}

DictRow& DictRow::Raw(std::string_view column, const Bytes& bytes) {
  auto& slot = values_[Index(column)];
  slot.reset();
  if (!bytes.empty()) slot = bytes;
  return *this;
}

DictRow& DictRow::Date(std::string_view column, const DateTimeFields& time) {
  DateTimeFields t = time;
  t.nanoseconds = 0;
  values_[Index(column)] = EncodeDate(t);
  return *this;
}

Row DictRow::TakeStored(const std::vector<int>& stored_columns) {
  Row row;
  row.columns.reserve(stored_columns.size());
  for (const int i : stored_columns) {
    row.columns.push_back(std::move(values_[static_cast<std::size_t>(i)]));
  }
  return row;
}

void DictRow::AppendStored(const std::vector<int>& stored_columns, CompactRows& out) const {
  std::vector<const ColumnBytes*> columns;
  columns.reserve(stored_columns.size());
  for (const int i : stored_columns) columns.push_back(&values_[static_cast<std::size_t>(i)]);
  out.Append(columns);
}

std::vector<Bytes> DictRow::Key() const {
  std::vector<Bytes> key;
  for (const auto& name : table_->key_columns) {
    const auto& v = values_[Index(name)];
    key.push_back(v ? *v : Bytes{});
  }
  return key;
}

}  // namespace quillon::testdb
