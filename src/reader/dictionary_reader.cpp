#include "reader/dictionary_reader.h"

namespace quillon {

DictionaryReader::DictionaryReader(COracleRecoveryTools& e)
    : engine(e), catalogue(e.catalogue), source(e.datafiles) {}

SegmentBlockList& DictionaryReader::List(SystemSegment segment) {
  const auto i = static_cast<std::size_t>(segment);
  if (alternative_layout() && SegmentInfo(segment).alternative != 0) return alternative[i];
  return standard[i];
}

std::string DictionaryReader::Text(const DictionaryRow& row, std::size_t n) const {
  if (row.IsNull(n)) return {};
  return engine.values.database().ToUtf8(row.Bytes(n));
}

void DictionaryReader::CountRecord() {
  ++record_counter;
  engine.sink().ShowCount(record_counter);
}

bool DictionaryReader::ForEachBlock(const SegmentBlockList& list, const BlockVisitor& visit,
                                    std::optional<std::uint64_t> progress_total) {
  NotificationSink& sink = engine.sink();
  sink.Progress(ProgressStep::kStart, progress_total.value_or(list.dbas.size()));
  for (const std::uint32_t dba : list.dbas) {
    BlockResult result = source.Read(dba);
    // A block whose checksum contradicts it is passed over: its rows could
    // name the wrong object, owner or column.
    if (result.ok() && !BlockView(result.block.bytes()).ChecksumContradicted()) {
      const auto data = DataBlock::Open(result.block.bytes(), list.space);
      if (data && data->object_number() == list.object_number) visit(*data, result.block);
    }
    sink.Progress(ProgressStep::kStep, 0);
    sink.ShowMemory();
    if (StopRequested()) return false;
  }
  sink.Progress(ProgressStep::kFinish, 0);
  return true;
}

bool DictionaryReader::ForEachRow(const SegmentBlockList& list, const RowVisitor& visit,
                                  std::optional<std::uint64_t> progress_total) {
  const RowChainSource chain{&source, list.space, list.object_number};
  return ForEachBlock(
      list,
      [&](const DataBlock& data, const Block& block) {
        const ByteView bytes = block.bytes();
        for (std::size_t slot = 0; slot < data.row_count(); ++slot) {
          const auto position = data.RowPosition(slot);
          if (!position) continue;
          const auto piece = ParseRowPiece(bytes, *position);
          if (!piece || !StartsRow(*piece) || piece->IsClusterMember()) continue;
          if (const auto row = ReadRow(chain, bytes, *piece)) visit(*row);
        }
      },
      progress_total);
}

}  // namespace quillon
