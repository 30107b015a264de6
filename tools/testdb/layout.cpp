#include "testdb/layout.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <sys/stat.h>
#include <system_error>

#include "reader/block_view.h"
#include "reader/bytes.h"
#include "reader/datafile.h"
#include "reader/format.h"
#include "testdb/datafile_headers.h"
#include "testdb/datafile_writer.h"
#include "testdb/decoys.h"
#include "testdb/prng.h"
#include "testdb/release_profile.h"
#include "testdb/segment_writer.h"

namespace quillon::testdb {

const SegmentLayout* LayoutResult::FindSegment(std::uint32_t object_number) const {
  for (const auto& s : segments) {
    if (s.object_number == object_number) return &s;
  }
  return nullptr;
}

const FileLayout* LayoutResult::FindFile(std::string_view file_name) const {
  for (const auto& f : files) {
    if (EqualsIgnoreCase(f.file_name, file_name)) return &f;
  }
  return nullptr;
}

const FileLayout* LayoutResult::FindFileByNumber(std::uint32_t relative_file) const {
  for (const auto& f : files) {
    if (f.relative_file == relative_file) return &f;
  }
  return nullptr;
}

namespace {

struct OpenDatafile {
  const DatafileModel* model = nullptr;
  DatafileWriter writer;
  FileSpace space;
  std::uint32_t first_data_block = 2;
  bool checksum = true;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> used;  // extents: [first, end)
};

// A DBA in a file the database does not have.
std::uint32_t OutsideDba(const DatabaseModel& model) {
  std::set<std::uint32_t> used;
  for (const auto& f : model.datafiles) used.insert(f.relative_file);
  std::uint32_t file = 1000;
  while (used.count(file)) ++file;
  return format::MakeDba(file, 100);
}

class DamageWriter {
 public:
  DamageWriter(const DatabaseModel& model, LayoutResult& result, std::map<std::uint32_t, OpenDatafile*>& files)
      : model_(model), result_(result), files_(files), prng_(Prng(model.seed).Fork(0xDA3A6E)) {}

  bool Apply(const Damage& d, std::string& error) {
    const SegmentLayout* s = result_.FindSegment(d.object_number);
    const SegmentModel* sm = nullptr;
    for (const auto& x : model_.segments) {
      if (x.object_number == d.object_number) sm = &x;
    }
    if (!s || !sm) {
      error = "damage names object " + std::to_string(d.object_number) + ", which has no segment";
      return false;
    }
    std::uint32_t dba = 0;
    const PiecePlacement* piece = nullptr;
    if (d.kind == DamageKind::kRowEntry || d.kind == DamageKind::kRowNext) {
      if (d.index >= s->rows.size() || s->rows[d.index].pieces.empty()) {
        error = "damage names row " + std::to_string(d.index) + " of " + s->name + ", which has no recorded piece";
        return false;
      }
      piece = &s->rows[d.index].pieces.front();
      dba = piece->dba;
    } else {
      switch (d.role) {
        case BlockRole::kSegmentHeader: dba = s->header_dba; break;
        case BlockRole::kExtentMap:
          if (d.index >= s->extent_map_dbas.size()) {
            error = s->name + " has no extent map block " + std::to_string(d.index);
            return false;
          }
          dba = s->extent_map_dbas[d.index];
          break;
        case BlockRole::kLastMap:
          dba = s->extent_map_dbas.empty() ? s->header_dba : s->extent_map_dbas.back();
          break;
        case BlockRole::kDataBlock:
          if (d.index >= s->data_blocks.size()) {
            error = s->name + " has no data block " + std::to_string(d.index);
            return false;
          }
          dba = s->data_blocks[d.index];
          break;
        case BlockRole::kFileBlock: dba = format::MakeDba(s->relative_file, d.index); break;
      }
    }
    OpenDatafile* file = files_[format::DbaFile(dba)];
    std::vector<std::uint8_t> block(model_.block_size);
    file->writer.Get(format::DbaBlock(dba), block);
    const std::uint32_t aim = d.target == Damage::Target::kSegmentHeader ? s->header_dba
                              : d.target == Damage::Target::kOutsideFiles ? OutsideDba(model_)
                                                                          : d.value;
    bool refresh = true;
    switch (d.kind) {
      case DamageKind::kZeroBlock:
        std::fill(block.begin(), block.end(), 0);
        refresh = false;
        break;
      case DamageKind::kGarbleBlock:
        prng_.Fill(block);
        refresh = false;
        break;
      case DamageKind::kPatchBytes:
        for (std::size_t i = 0; i < d.bytes.size() && d.offset + i < block.size(); ++i) block[d.offset + i] = d.bytes[i];
        break;
      case DamageKind::kExtentCount:
      case DamageKind::kMapNext: {
        auto layout = MapLayout(block[format::block_header::kType]);
        if (layout && block[format::block_header::kType] == format::block_type::kAssmSegmentHeader) {
          // The words stand where the model's order puts them.
          const format::AssmMapOrder& order = MapOrderOf(ResolvedAssmHeaderOrder(model_));
          layout->extent_count = order.extent_count;
          layout->next_map = order.next_map;
          layout->object_number = order.object_number;
        }
        if (!layout) {
          error = "damage: block " + std::to_string(format::DbaBlock(dba)) + " of " + s->name + " is not an extent map";
          return false;
        }
        const std::size_t at = d.kind == DamageKind::kExtentCount ? layout->extent_count : layout->next_map;
        PutU32LE(block.data() + at, d.kind == DamageKind::kExtentCount ? d.value : aim);
        break;
      }
      case DamageKind::kRowEntry: {
        const auto view = DataBlock::Open(ByteView(block.data(), block.size()), sm->space);
        const auto table = view ? view->Table(piece->table) : std::nullopt;
        if (!table) {
          error = "damage: the block of row " + std::to_string(d.index) + " is unreadable";
          return false;
        }
        PutU16LE(block.data() + view->RowDirectoryOffset() +
                     format::data_header::kRowEntrySize * (table->first_row + piece->slot),
                 static_cast<std::uint16_t>(d.value));
        break;
      }
      case DamageKind::kRowNext: {
        const std::uint8_t flag = piece->flag;
        if (flag & format::row::kLast) {
          error = "damage: row " + std::to_string(d.index) + " of " + s->name + " has no next piece";
          return false;
        }
        std::size_t at = piece->offset + format::row::kHeaderSize;
        if (flag & format::row::kClusterMember) at += format::row::kMemberKeyIndexSize;
        if ((flag & format::row::kFirst) && !(flag & format::row::kHead)) at += format::row::kRowAddressSize;
        PutU32BE(block.data() + at, aim);
        PutU16BE(block.data() + at + 4, 0);
        break;
      }
    }
    if (refresh) RefreshChecksum(block);
    file->writer.Put(format::DbaBlock(dba), block);
    return true;
  }

 private:
  static std::optional<format::ExtentMapLayout> MapLayout(std::uint8_t type) {
    switch (type) {
      case format::block_type::kSegmentHeader: return format::extent_map::kFreeListHeader;
      case format::block_type::kAssmSegmentHeader: return format::extent_map::kAssmHeader;
      case format::block_type::kExtentMap:
      case format::block_type::kAssmExtentMap: return format::extent_map::kContinuation;
      default: return std::nullopt;
    }
  }

  const DatabaseModel& model_;
  LayoutResult& result_;
  std::map<std::uint32_t, OpenDatafile*>& files_;
  Prng prng_;
};

// Free blocks of a file (outside every extent, after its headers) as
// formatted empty blocks, written in runs.
void FormatFreeBlocks(OpenDatafile& f, const ReleaseProfile& release, std::uint32_t block_size,
                      std::uint32_t total_blocks) {
  auto used = f.used;
  std::sort(used.begin(), used.end());
  DataBlockBuilder empty(block_size, SpaceManagement::kFreeList, 2, 0, 1);
  std::vector<std::uint8_t> image(block_size);
  std::uint32_t at = f.first_data_block;
  std::size_t next = 0;
  const std::uint8_t format_byte = BlockFormatByte(release, block_size);
  while (at < total_blocks) {
    while (next < used.size() && used[next].second <= at) ++next;
    if (next < used.size() && used[next].first <= at) {
      at = used[next].second;
      continue;
    }
    empty.Write(image, format_byte, format::MakeDba(f.model->relative_file, at),
                {0x00010000 + at, 0, 1, f.checksum});
    f.writer.Put(at, image);
    ++at;
  }
}

// The first block a datafile's extents may use: after the file space header
// and bitmap blocks of a locally managed file, block 2 in a dictionary
// managed one.
std::uint32_t FirstDataBlock(const ReleaseProfile& release) {
  const bool dictionary_managed = release.first_data_block <= 2;
  return dictionary_managed ? 2 : release.first_data_block;
}

}  // namespace

std::vector<std::uint32_t> PlanFirstExtents(const DatabaseModel& model) {
  std::vector<std::uint32_t> starts;
  const auto release = FindReleaseProfile(model.release);
  if (!model.first_extents_up_front || !release) return starts;
  std::map<std::uint32_t, std::uint32_t> next_free;  // relative file -> block
  for (const auto& f : model.datafiles) next_free[f.relative_file] = FirstDataBlock(*release);
  for (const SegmentModel& s : model.segments) {
    const DatafileModel* f = FindDatafile(model, s);
    if (!f) {
      starts.push_back(0);
      continue;
    }
    std::uint32_t& next = next_free[f->relative_file];
    starts.push_back(next);
    next += FirstExtentOf(s, model.block_size).blocks + s.extent_gap_blocks;
  }
  return starts;
}

std::vector<std::uint32_t> PlanSegmentHeaders(const DatabaseModel& model) {
  std::vector<std::uint32_t> headers;
  const std::vector<std::uint32_t> starts = PlanFirstExtents(model);
  for (std::size_t i = 0; i < starts.size(); ++i) {
    const SegmentModel& s = model.segments[i];
    const DatafileModel* f = FindDatafile(model, s);
    headers.push_back(f ? format::MakeDba(f->relative_file, starts[i] + FirstExtentOf(s, model.block_size).header_offset)
                        : 0);
  }
  return headers;
}

bool WriteDatabase(const DatabaseModel& model, const std::string& folder, LayoutResult& result,
                   std::string& error) {
  error = ValidateModel(model);
  if (!error.empty()) return false;
  const ReleaseProfile release = *FindReleaseProfile(model.release);
  const std::uint32_t bs = model.block_size;
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec) {
    error = "cannot create " + folder + ": " + ec.message();
    return false;
  }
  result = LayoutResult{};
  result.folder = folder;
  result.database_name = model.name;
  result.block_size = bs;
  const Prng root(model.seed);

  std::vector<std::unique_ptr<OpenDatafile>> files;
  std::map<std::uint32_t, OpenDatafile*> by_number;
  for (const auto& df : model.datafiles) {
    auto f = std::make_unique<OpenDatafile>();
    f->model = &df;
    auto writer = DatafileWriter::Create(folder + "/" + df.file_name, bs, error);
    if (!writer) return false;
    f->writer = std::move(*writer);
    f->first_data_block = FirstDataBlock(release);
    f->checksum = release.checksum_every_block || EqualsIgnoreCase(df.tablespace, "SYSTEM");
    f->space.next_free = f->first_data_block;
    f->space.limit = df.blocks;
    f->space.file_name = df.file_name;
    by_number[df.relative_file] = f.get();
    files.push_back(std::move(f));
  }

  // First extents given out up front: the files' free space starts after them.
  const std::vector<std::uint32_t> first_extents = PlanFirstExtents(model);
  for (std::size_t i = 0; i < first_extents.size(); ++i) {
    const SegmentModel& sm = model.segments[i];
    OpenDatafile& f = *by_number[FindDatafile(model, sm)->relative_file];
    const std::uint32_t end = first_extents[i] + FirstExtentOf(sm, bs).blocks + sm.extent_gap_blocks;
    f.space.next_free = std::max(f.space.next_free, end);
    if (f.space.limit != 0 && end > f.space.limit) {
      error = "datafile " + f.model->file_name + " is full: segment " + sm.name + " needs more space";
      return false;
    }
  }

  for (std::size_t i = 0; i < model.segments.size(); ++i) {
    // A segment with a preparer is completed from what is placed so far.
    std::optional<SegmentModel> prepared;
    if (model.segments[i].prepare) {
      prepared = model.segments[i];
      prepared->prepare(result, *prepared);
    }
    const SegmentModel& sm = prepared ? *prepared : model.segments[i];
    OpenDatafile& f = *by_number[FindDatafile(model, sm)->relative_file];
    SegmentContext ctx;
    ctx.file = &f.writer;
    ctx.space = &f.space;
    ctx.relative_file = f.model->relative_file;
    ctx.tablespace_number = f.model->tablespace_number;
    ctx.block_size = bs;
    ctx.format_byte = BlockFormatByte(release, bs);
    ctx.checksum = f.checksum;
    ctx.format_unused = model.unused_blocks == UnusedBlocks::kFormattedEmpty;
    if (!first_extents.empty()) ctx.first_extent_block = first_extents[i];
    ctx.assm_order = ResolvedAssmHeaderOrder(model);
    SegmentLayout& out = result.segments.emplace_back();
    if (!WriteSegment(sm, ctx, root.Fork(sm.object_number), out, error)) return false;
    for (const auto& e : out.extents) {
      f.used.push_back({format::DbaBlock(e.first_dba), format::DbaBlock(e.first_dba) + e.block_count});
    }
  }

  DamageWriter damage(model, result, by_number);
  for (const Damage& d : model.damage) {
    if (!damage.Apply(d, error)) return false;
  }

  const std::uint32_t database_id = static_cast<std::uint32_t>(model.seed * 2654435761u) | 1;
  for (auto& fp : files) {
    OpenDatafile& f = *fp;
    const DatafileModel& df = *f.model;
    const std::uint32_t total = df.blocks != 0 ? df.blocks : std::max(f.space.next_free, f.first_data_block) + df.spare_blocks;
    DatafileIdentity id;
    id.database_name = model.name;
    id.database_id = database_id;
    id.tablespace = df.tablespace;
    id.tablespace_number = df.tablespace_number;
    id.relative_file = df.relative_file;
    id.block_count = total;
    id.first_data_block = f.first_data_block;
    id.scn = 0x00100000 + static_cast<std::uint32_t>(root.Fork(df.relative_file).Next() & 0xFFFF);
    id.checksum = f.checksum;
    WriteDatafileHeaders(f.writer, release, bs, id);
    if (model.unused_blocks == UnusedBlocks::kFormattedEmpty) FormatFreeBlocks(f, release, bs, total);
    const std::string path = f.writer.path();
    if (!f.writer.Finish(total, error)) return false;
    result.bytes_written += f.writer.bytes_written();
    if (df.read_only && ::chmod(path.c_str(), 0444) != 0) {
      error = "cannot make " + path + " read-only";
      return false;
    }
    result.files.push_back({path, df.file_name, df.tablespace, df.relative_file,
                            format::MakeDba(df.relative_file, 0), total, df.read_only});
  }
  return WriteDecoys(model, release, folder, result.decoys, error);
}

}  // namespace quillon::testdb
