#include "cli/damage_report.h"

#include "browse/log_text.h"
#include "reader/format.h"

namespace quillon::cli {

namespace {

std::string RangeText(const MissingBlocks& m) {
  std::string out = "file " + std::to_string(m.file) + (m.block_count == 1 ? " block " : " blocks ") +
                    std::to_string(m.first_block);
  if (m.block_count > 1) out += "-" + std::to_string(static_cast<std::uint64_t>(m.first_block) + m.block_count - 1);
  return out + " " + ToString(m.cause);
}

template <typename T, typename Text>
std::string ListText(const std::vector<T>& items, Text text) {
  std::string out;
  for (std::size_t i = 0; i < items.size() && i < kNamedBlocks; ++i) {
    if (i) out += ", ";
    out += text(items[i]);
  }
  if (items.size() > kNamedBlocks) out += " and " + std::to_string(items.size() - kNamedBlocks) + " more";
  return out;
}

}  // namespace

std::string BlockAddressText(const std::vector<std::uint32_t>& dbas) {
  return quillon::BlockAddressText(dbas, kNamedBlocks);
}

std::string MissingText(const std::vector<MissingBlocks>& missing) { return ListText(missing, RangeText); }

std::string TableDamageText(const ExportResult& r, bool suspect_left_out) {
  std::vector<std::string> parts;
  if (!r.bad_checksum_blocks.empty()) {
    parts.push_back(std::to_string(r.bad_checksum_blocks.size()) + " block(s) with a bad checksum (" +
                    BlockAddressText(r.bad_checksum_blocks) + "), " + std::to_string(r.suspect_rows) +
                    " suspect row(s)" + (suspect_left_out ? " left out" : ""));
  }
  if (r.missing_blocks > 0) {
    parts.push_back(std::to_string(r.missing_blocks) + " missing block(s) (" + MissingText(r.missing) + ")");
  }
  if (r.damaged_blocks > 0) parts.push_back(std::to_string(r.damaged_blocks) + " block(s) with an unreadable directory");
  if (r.unreadable_blocks > 0) parts.push_back(std::to_string(r.unreadable_blocks) + " unreadable block(s)");
  if (r.partial_rows > 0) parts.push_back(std::to_string(r.partial_rows) + " partial row(s)");
  if (r.incomplete_values > 0) parts.push_back(std::to_string(r.incomplete_values) + " incomplete LOB value(s)");
  std::string out;
  for (const std::string& p : parts) out += (out.empty() ? "" : "; ") + p;
  return out;
}

void WriteBlockAddresses(JsonWriter& j, const std::vector<std::uint32_t>& dbas) {
  j.BeginArray();
  for (const std::uint32_t dba : dbas) {
    j.BeginObject();
    j.Member("file", static_cast<unsigned>(format::DbaFile(dba)));
    j.Member("block", static_cast<unsigned>(format::DbaBlock(dba)));
    j.EndObject();
  }
  j.EndArray();
}

void WriteMissingBlocks(JsonWriter& j, const std::vector<MissingBlocks>& missing) {
  j.BeginArray();
  for (const MissingBlocks& m : missing) {
    j.BeginObject();
    j.Member("file", static_cast<unsigned>(m.file));
    j.Member("first_block", static_cast<unsigned>(m.first_block));
    j.Member("block_count", static_cast<unsigned>(m.block_count));
    j.Member("cause", m.cause == MissingCause::kPastEnd ? "past_end" : "no_datafile");
    j.EndObject();
  }
  j.EndArray();
}

void WriteDamageMembers(JsonWriter& j, const ExportResult& r) {
  j.Member("partial_rows", r.partial_rows);
  j.Member("suspect_rows", r.suspect_rows);
  j.Member("skipped_rows", r.skipped_rows);
  j.Member("damaged_blocks", r.damaged_total);
  j.Member("directory_damaged_blocks", r.damaged_blocks);
  j.Member("unreadable_blocks", r.unreadable_blocks);
  j.Key("bad_checksum_blocks");
  WriteBlockAddresses(j, r.bad_checksum_blocks);
  j.Member("missing_blocks", r.missing_blocks);
  j.Key("missing");
  WriteMissingBlocks(j, r.missing);
  j.Member("incomplete_lob_values", r.incomplete_values);
}

}  // namespace quillon::cli
