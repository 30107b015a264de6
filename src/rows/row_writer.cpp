#include "rows/row_writer.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <ostream>

#include "reader/json_writer.h"

namespace quillon {

namespace {

constexpr std::size_t kFlushBytes = 1 << 20;

// The characters that make RFC 4180 quote a field.
constexpr std::array<bool, 256> kCsvQuoted = [] {
  std::array<bool, 256> quoted{};
  for (const unsigned char c : {',', '"', '\r', '\n'}) quoted[c] = true;
  return quoted;
}();

// Eight bytes at a time: a byte equal to one of the four shows as a zero
// byte of word ^ pattern, which the usual zero-byte test finds exactly.
constexpr std::uint64_t Repeated(unsigned char c) { return 0x0101010101010101ull * c; }

bool HasZeroByte(std::uint64_t v) { return ((v - 0x0101010101010101ull) & ~v & 0x8080808080808080ull) != 0; }

bool NeedsQuotes(std::string_view text) {
  std::size_t i = 0;
  for (; i + 8 <= text.size(); i += 8) {
    std::uint64_t word;
    std::memcpy(&word, text.data() + i, 8);
    if (HasZeroByte(word ^ Repeated(',')) || HasZeroByte(word ^ Repeated('"')) ||
        HasZeroByte(word ^ Repeated('\r')) || HasZeroByte(word ^ Repeated('\n'))) {
      return true;
    }
  }
  for (; i < text.size(); ++i) {
    if (kCsvQuoted[static_cast<unsigned char>(text[i])]) return true;
  }
  return false;
}

class BufferedWriter : public RowWriter {
 public:
  explicit BufferedWriter(std::ostream& out) : out_(out) {}
  void Flush() override {
    out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    written_ += buffer_.size();
    buffer_.clear();
  }
  std::uint64_t bytes_written() const override { return written_ + buffer_.size(); }

 protected:
  void MaybeFlush() {
    if (buffer_.size() >= kFlushBytes) Flush();
  }
  std::string buffer_;

 private:
  std::ostream& out_;
  std::uint64_t written_ = 0;
};

class CsvWriter final : public BufferedWriter {
 public:
  using BufferedWriter::BufferedWriter;
  void Begin(std::span<const std::string> names) override {
    for (std::size_t i = 0; i < names.size(); ++i) {
      if (i) buffer_.push_back(',');
      AppendCsvField(buffer_, ValueText{names[i], false, false});
    }
    buffer_ += "\r\n";
  }
  void Row(std::span<const ValueText> values) override {
    for (std::size_t i = 0; i < values.size(); ++i) {
      if (i) buffer_.push_back(',');
      AppendCsvField(buffer_, values[i]);
    }
    buffer_ += "\r\n";
    MaybeFlush();
  }
  ValueForms forms() const override { return ValueForms::kData; }
};

class JsonLinesWriter final : public BufferedWriter {
 public:
  using BufferedWriter::BufferedWriter;
  void Begin(std::span<const std::string> names) override {
    keys_.clear();
    for (const auto& n : names) {
      std::string key;
      AppendJsonQuoted(key, n);
      key.push_back(':');
      keys_.push_back(std::move(key));
    }
  }
  void Row(std::span<const ValueText> values) override {
    buffer_.push_back('{');
    for (std::size_t i = 0; i < values.size() && i < keys_.size(); ++i) {
      if (i) buffer_.push_back(',');
      buffer_ += keys_[i];
      const ValueText& v = values[i];
      if (v.is_null) {
        buffer_ += "null";
      } else if (v.form == TextForm::kNumber) {
        buffer_ += v.text;
      } else if (v.form == TextForm::kNonFinite) {
        buffer_ += "null";
        ++non_finite_;
      } else {
        AppendJsonQuoted(buffer_, v.text);
      }
    }
    buffer_ += "}\n";
    MaybeFlush();
  }
  ValueForms forms() const override { return ValueForms::kData; }
  std::uint64_t non_finite_nulls() const override { return non_finite_; }

 private:
  std::vector<std::string> keys_;
  std::uint64_t non_finite_ = 0;
};

// Aligned text, a block of rows at a time.
class TableWriter final : public BufferedWriter {
 public:
  static constexpr std::size_t kBlockRows = 100;
  using BufferedWriter::BufferedWriter;
  void Begin(std::span<const std::string> names) override { names_.assign(names.begin(), names.end()); }
  void Row(std::span<const ValueText> values) override {
    std::vector<std::string> row;
    for (const auto& v : values) {
      row.push_back(v.is_null ? std::string() : v.text);
      // Line breaks and tabs would break the alignment.
      for (char& c : row.back()) {
        if (static_cast<unsigned char>(c) < 0x20) c = ' ';
      }
    }
    rows_.push_back(std::move(row));
    if (rows_.size() == kBlockRows) WriteBlock();
  }
  void Flush() override {
    WriteBlock();
    BufferedWriter::Flush();
  }

 private:
  static std::size_t Width(std::string_view utf8) {
    std::size_t n = 0;
    for (const char c : utf8) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
  }
  void Line(const std::vector<std::string>& cells, const std::vector<std::size_t>& widths) {
    for (std::size_t i = 0; i < widths.size(); ++i) {
      const std::string& cell = i < cells.size() ? cells[i] : std::string();
      if (i) buffer_ += "  ";
      buffer_ += cell;
      if (i + 1 < widths.size()) buffer_.append(widths[i] - std::min(widths[i], Width(cell)), ' ');
    }
    buffer_ += "\n";
  }
  void WriteBlock() {
    if (rows_.empty() && (blocks_ > 0 || names_.empty())) return;
    std::vector<std::size_t> widths(names_.size());
    for (std::size_t i = 0; i < names_.size(); ++i) widths[i] = Width(names_[i]);
    for (const auto& r : rows_) {
      for (std::size_t i = 0; i < r.size() && i < widths.size(); ++i) widths[i] = std::max(widths[i], Width(r[i]));
    }
    if (blocks_ > 0) buffer_ += "\n";
    Line(names_, widths);
    std::vector<std::string> rule;
    for (const auto w : widths) rule.emplace_back(w, '-');
    Line(rule, widths);
    for (const auto& r : rows_) Line(r, widths);
    rows_.clear();
    ++blocks_;
  }
  std::vector<std::string> names_;
  std::vector<std::vector<std::string>> rows_;
  std::size_t blocks_ = 0;
};

}  // namespace

std::optional<RowFormat> ParseRowFormat(std::string_view name) {
  if (name == "table") return RowFormat::kTable;
  if (name == "csv") return RowFormat::kCsv;
  if (name == "json") return RowFormat::kJson;
  return std::nullopt;
}

std::string_view FormatExtension(RowFormat format) {
  switch (format) {
    case RowFormat::kTable: return ".txt";
    case RowFormat::kCsv: return ".csv";
    case RowFormat::kJson: return ".jsonl";
  }
  return ".txt";
}

void AppendCsvField(std::string& out, const ValueText& value) {
  if (value.is_null) return;
  const std::string& t = value.text;
  if (!t.empty() && !NeedsQuotes(t)) {
    out += t;
    return;
  }
  out.push_back('"');
  for (const char c : t) {
    if (c == '"') out.push_back('"');
    out.push_back(c);
  }
  out.push_back('"');
}

std::unique_ptr<RowWriter> MakeRowWriter(RowFormat format, std::ostream& out) {
  switch (format) {
    case RowFormat::kCsv: return std::make_unique<CsvWriter>(out);
    case RowFormat::kJson: return std::make_unique<JsonLinesWriter>(out);
    case RowFormat::kTable: break;
  }
  return std::make_unique<TableWriter>(out);
}

}  // namespace quillon
