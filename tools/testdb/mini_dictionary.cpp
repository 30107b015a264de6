#include "testdb/mini_dictionary.h"

#include "reader/dictionary_segments.h"
#include "reader/release.h"
#include "testdb/values.h"

namespace quillon::testdb {

namespace {

ColumnBytes N(std::int64_t v) { return EncodeNumber(v); }
ColumnBytes T(std::string_view s) { return Bytes(s.begin(), s.end()); }
ColumnBytes Opt(const std::optional<std::uint32_t>& v) { return v ? N(*v) : std::nullopt; }
const ColumnBytes kNull = std::nullopt;

Bytes Date2024() { return EncodeDate(DateTimeFields{2024, 1, 5, 15, 4, 5, 0}); }

int ReleaseCodeOf(const std::string& release) {
  if (release == "8i" || release == "9i") return kRelease9i;
  if (release == "10.1" || release == "10.2") return kRelease10g;
  if (release == "11.1") return kRelease11gR1;
  return kRelease11gR2;
}

std::string KeyText(const std::vector<Bytes>& key) {
  std::string s;
  for (const auto& b : key) {
    s.append(b.begin(), b.end());
    s.push_back('\x01');
  }
  return s;
}

SegmentModel SystemSegmentModel(std::string name, std::uint32_t number) {
  SegmentModel s;
  s.name = std::move(name);
  s.object_number = number;
  s.tablespace = "SYSTEM";
  s.relative_file = 1;
  s.space = SpaceManagement::kFreeList;
  s.extent_blocks = 8;
  return s;
}

}  // namespace

MiniDictionary::MiniDictionary(std::string release, bool alternative)
    : release_(std::move(release)), release_code_(ReleaseCodeOf(release_)), alternative_(alternative) {}

std::uint32_t MiniDictionary::Number(SystemSegment segment) const {
  return SegmentNumber(segment, release_code_, alternative_);
}

void MiniDictionary::AddMember(SystemSegment cluster, std::vector<Bytes> key, std::uint8_t member, Row row) {
  ClusterRows& c = cluster_rows[cluster];
  if (member > c.members) c.members = member;
  const std::string k = KeyText(key);
  auto it = c.key_index.find(k);
  if (it == c.key_index.end()) {
    it = c.key_index.emplace(k, c.keys.size()).first;
    c.keys.push_back(ClusterKey{std::move(key), {}});
  }
  ClusterKey& ck = c.keys[it->second];
  if (ck.members.size() < member) ck.members.resize(member);
  ck.members[member - 1].push_back(std::move(row));
}

void MiniDictionary::AddTablespace(std::uint32_t number, std::string_view name, std::uint32_t block_size) {
  // TS$ without TS#: NAME, OWNER#, ONLINE$, CONTENTS$, UNDOFILE#, UNDOBLOCK#,
  // BLOCKSIZE, INC#, SCNWRP, SCNBAS, DFLMINEXT, DFLMAXEXT, DFLINIT, DFLINCR,
  // DFLMINLEN, DFLEXTPCT, DFLOGGING, AFFSTRENGTH, BITMAPPED, PLUGGED,
  // DIRECTALLOWED, FLAGS.
  std::vector<ColumnBytes> cols = {T(name), N(0), N(1), N(0), kNull, kNull, N(block_size)};
  for (int i = 8; i <= 16; ++i) cols.push_back(N(i == 12 ? 2147483645 : 1));
  cols.push_back(N(1));  // DFLOGGING
  for (int i = 18; i <= 21; ++i) cols.push_back(N(0));
  cols.push_back(N(0x20));  // FLAGS
  AddMember(SystemSegment::kTsCluster, {*N(number)}, 2, Row(std::move(cols)));
  // FET$ is member 1 of C_TS#: one free extent.
  AddMember(SystemSegment::kTsCluster, {*N(number)}, 1, Row({N(1), N(200), N(8)}));
}

void MiniDictionary::AddUser(std::uint32_t number, std::string_view name, std::uint32_t tablespace,
                             std::optional<std::string> password) {
  std::vector<ColumnBytes> cols = {T(name), N(1), password ? T(*password) : kNull, N(tablespace), N(tablespace),
                                   Date2024(), kNull, kNull, kNull, N(0), kNull, N(1), kNull, kNull, N(0), N(0)};
  AddMember(SystemSegment::kUserCluster, {*N(number)}, 1, Row(std::move(cols)));
}

void MiniDictionary::AddRole(std::uint32_t number, std::string_view name) {
  std::vector<ColumnBytes> cols = {T(name), N(0), kNull, N(0), N(0), Date2024(), kNull, kNull, kNull, N(0),
                                   kNull, N(0), kNull, kNull, N(0), N(0)};
  AddMember(SystemSegment::kUserCluster, {*N(number)}, 1, Row(std::move(cols)));
}

void MiniDictionary::AddObject(std::uint32_t number, std::uint32_t owner, std::string_view name,
                               std::uint32_t name_space, std::uint32_t type, std::optional<std::uint32_t> data_object,
                               std::string_view subname) {
  // OBJ#, DATAOBJ#, OWNER#, NAME, NAMESPACE, SUBNAME, TYPE#, CTIME, MTIME,
  // STIME, STATUS, REMOTEOWNER, LINKNAME, FLAGS.
  heap_rows[SystemSegment::kObj].push_back(
      Row({N(number), Opt(data_object), N(owner), T(name), N(name_space), subname.empty() ? kNull : T(subname),
           N(type), Date2024(), Date2024(), Date2024(), N(1), kNull, kNull, N(0)}));
}

void MiniDictionary::AddTable(std::uint32_t number, std::uint32_t owner, std::string_view name,
                              std::uint32_t tablespace, std::optional<std::uint32_t> data_object, std::uint32_t file,
                              std::uint32_t block, std::uint64_t property) {
  AddObject(number, owner, name, 1, 2, data_object);
  // TAB$ without OBJ#: DATAOBJ#, TS#, FILE#, BLOCK#, BOBJ#, TAB#, COLS,
  // CLUCOLS, PCTFREE$, PCTUSED$, INITRANS, MAXTRANS, FLAGS, AUDIT$, 13
  // statistics, INTCOLS, KERNELCOLS, PROPERTY, TRIGFLAG, SPARE1.
  std::vector<ColumnBytes> cols = {Opt(data_object), N(tablespace), N(data_object ? file : 0),
                                   N(data_object ? block : 0), kNull, kNull, N(1), kNull, N(10), N(40), N(1),
                                   N(255), N(1), T("--------------------------------------")};
  for (int i = 15; i <= 26; ++i) cols.push_back(kNull);
  cols.push_back(N(1));
  cols.push_back(N(1));
  cols.push_back(N(static_cast<std::int64_t>(property)));
  cols.push_back(N(0));
  cols.push_back(N(736));
  AddMember(SystemSegment::kObjCluster, {*N(number)}, 1, Row(std::move(cols)));
}

void MiniDictionary::AddColumn(std::uint32_t table, std::uint32_t number, const Column& c) {
  // COL$ without OBJ#: COL#, SEGCOL#, SEGCOLLENGTH, OFFSET, NAME, TYPE#,
  // LENGTH, FIXEDSTORAGE, PRECISION#, SCALE, NULL$, DEFLENGTH, INTCOL#,
  // PROPERTY, CHARSETID, CHARSETFORM, SPARE1..SPARE6, DEFAULT$ (LONG, last).
  std::vector<ColumnBytes> cols = {N(number),
                                   N(number),
                                   N(c.length),
                                   N(0),
                                   T(c.name),
                                   N(c.type),
                                   N(c.length),
                                   N(0),
                                   Opt(c.precision),
                                   Opt(c.scale),
                                   N(c.nullable ? 0 : 1),
                                   c.default_text ? N(static_cast<std::int64_t>(c.default_text->size())) : kNull,
                                   N(number),
                                   N(0),
                                   c.charset ? N(c.charset) : kNull,
                                   c.charset ? N(1) : N(0)};
  if (c.default_text) {
    for (int i = 0; i < 6; ++i) cols.push_back(kNull);
    cols.push_back(T(*c.default_text));
  }
  AddMember(SystemSegment::kObjCluster, {*N(table)}, 5, Row(std::move(cols)));
}

void MiniDictionary::AddConstraint(std::uint32_t table, std::uint32_t owner, std::uint32_t constraint_number,
                                   std::string_view name, std::uint32_t type, std::vector<std::uint32_t> columns,
                                   std::optional<std::string> condition) {
  heap_rows[SystemSegment::kCon].push_back(Row({N(owner), T(name), N(constraint_number)}));
  // CDEF$ without OBJ#: CON#, COLS, TYPE#, ROBJ#, RCON#, RRULES, MATCH#,
  // REFACT, ENABLED, CONDLENGTH, INTCOLS, MTIME, DEFER, SPARE1..SPARE6,
  // CONDITION (LONG, last).
  std::vector<ColumnBytes> cols = {N(constraint_number),
                                   N(static_cast<std::int64_t>(columns.size())),
                                   N(type),
                                   kNull,
                                   kNull,
                                   kNull,
                                   kNull,
                                   kNull,
                                   N(1),
                                   condition ? N(static_cast<std::int64_t>(condition->size())) : kNull,
                                   N(static_cast<std::int64_t>(columns.size())),
                                   Date2024(),
                                   N(4)};
  if (condition) {
    for (int i = 0; i < 6; ++i) cols.push_back(kNull);
    cols.push_back(T(*condition));
  }
  AddMember(SystemSegment::kCobjCluster, {*N(table)}, 1, Row(std::move(cols)));
  std::uint32_t position = 1;
  for (const std::uint32_t col : columns) {
    AddMember(SystemSegment::kCobjCluster, {*N(table)}, 2,
              Row({N(constraint_number), N(col), N(position++), N(col)}));
  }
}

void MiniDictionary::AddIndex(std::uint32_t table, std::uint32_t index, std::uint32_t tablespace, bool unique,
                              std::vector<std::uint32_t> columns) {
  // IND$ without BO#: OBJ#, DATAOBJ#, TS#, FILE#, BLOCK#, INDMETHOD#, COLS,
  // PCTFREE$, INITRANS, MAXTRANS, PCTTHRES$, TYPE#, FLAGS, PROPERTY, ... INTCOLS.
  std::vector<ColumnBytes> cols = {N(index), N(index), N(tablespace), N(4), N(200), N(0),
                                   N(static_cast<std::int64_t>(columns.size())), N(10), N(2), N(255), kNull,
                                   N(1), N(0), N(unique ? 1 : 0)};
  for (int i = 15; i <= 23; ++i) cols.push_back(kNull);
  cols.push_back(N(static_cast<std::int64_t>(columns.size())));
  AddMember(SystemSegment::kObjCluster, {*N(table)}, 3, Row(std::move(cols)));
  std::uint32_t position = 1;
  for (const std::uint32_t col : columns) {
    AddMember(SystemSegment::kObjCluster, {*N(table)}, 4,
              Row({N(index), N(col), N(position++), N(col), N(22), N(0), N(col)}));
  }
}

void MiniDictionary::AddViewText(std::uint32_t view, std::string_view text) {
  heap_rows[SystemSegment::kView].push_back(
      Row({N(view), T("--------------------------------------"), N(1), N(1), N(0), N(0),
           N(static_cast<std::int64_t>(text.size())), T(text)}));
}

void MiniDictionary::AddSourceLine(std::uint32_t object, std::uint32_t line, std::string_view text) {
  heap_rows[SystemSegment::kSource].push_back(Row({N(object), N(line), T(text)}));
}

void MiniDictionary::AddSequence(std::uint32_t object, std::int64_t increment, std::int64_t cache,
                                 std::int64_t high_water) {
  heap_rows[SystemSegment::kSeq].push_back(Row({N(object), N(increment), N(1), EncodeNumber("999999999999999999999999999"),
                                                N(0), N(0), N(cache), N(high_water), T("--------------------------------------")}));
}

void MiniDictionary::AddSynonym(std::uint32_t object, std::string_view owner, std::string_view name) {
  heap_rows[SystemSegment::kSyn].push_back(Row({N(object), kNull, T(owner), T(name)}));
}

void MiniDictionary::AddTrigger(std::uint32_t object, std::uint32_t base_object, std::uint32_t type, bool insert,
                                bool update, bool delete_, std::string_view definition, std::string_view body) {
  // Stored order: OBJ#, TYPE#, UPDATE$, INSERT$, DELETE$, BASEOBJECT,
  // REFOLDNAME, REFNEWNAME, DEFINITION, WHENCLAUSE, ACTIONSIZE, ENABLED,
  // PROPERTY, SYS_EVTS, NTTRIGCOL, NTTRIGATT, REFPRTNAME, ACTIONLINENO,
  // (11g: TRIGNAMELINE, TRIGNAMECOL, TRIGNAMECOLOFS, ACTIONCOLNO), ACTION#.
  std::vector<ColumnBytes> cols = {N(object), N(type), N(update ? 1 : 0), N(insert ? 1 : 0), N(delete_ ? 1 : 0),
                                   N(base_object), T("OLD"), T("NEW"), T(definition), kNull,
                                   N(static_cast<std::int64_t>(body.size())), N(1), N(0), N(0), N(0), N(0), T("PARENT"),
                                   N(1)};
  if (release_code_ >= kRelease11gR1) {
    for (int i = 0; i < 4; ++i) cols.push_back(N(1));
  }
  cols.push_back(T(body));
  heap_rows[SystemSegment::kTrigger].push_back(Row(std::move(cols)));
}

void MiniDictionary::AddProperties(std::string_view character_set, std::string_view national_character_set,
                                   std::uint32_t data_object) {
  AddTable(data_object, 0, "PROPS$", 0, data_object, 1, 0);
  extra_heaps[data_object] = {
      Row({T("DICT.BASE"), T("2"), T("dictionary base tables version #")}),
      Row({T("NLS_CHARACTERSET"), T(character_set), T("Character set")}),
      Row({T("NLS_NCHAR_CHARACTERSET"), T(national_character_set), T("NCHAR Character set")}),
      Row({T("DBTIMEZONE"), T("+00:00"), T("DB time zone")}),
  };
}

void MiniDictionary::AddSegments(DatabaseModel& model, std::uint32_t migrated_every) const {
  // Every dictionary segment of the release, in object number order (the
  // order a database creates them in), empty where no rows were added.
  std::map<std::uint32_t, SegmentModel> segments;
  for (const auto& info : SystemSegmentTable()) {
    const std::uint32_t number = Number(info.segment);
    if (number == 0 || segments.count(number)) continue;
    SegmentModel s = SystemSegmentModel(std::string(info.name), number);
    if (const auto heap = heap_rows.find(info.segment); heap != heap_rows.end()) s.rows = heap->second;
    if (info.segment == SystemSegment::kObj && migrated_every != 0) {
      for (std::size_t i = migrated_every - 1; i < s.rows.size(); i += migrated_every) {
        s.rows[i].placement = Placement::kMigrated;
      }
    }
    if (IsClusterSegment(info.segment)) {
      s.kind = SegmentKind::kCluster;
      const auto rows = cluster_rows.find(info.segment);
      const std::uint8_t used = rows == cluster_rows.end() ? 1 : rows->second.members;
      s.member_tables = std::max<std::uint8_t>(used, info.segment == SystemSegment::kObjCluster ? 5 : 2);
      if (rows != cluster_rows.end()) s.keys = rows->second.keys;
      for (auto& key : s.keys) key.members.resize(s.member_tables);
    }
    segments.emplace(number, std::move(s));
  }
  for (const auto& [number, rows] : extra_heaps) {
    if (segments.count(number)) continue;
    SegmentModel s = SystemSegmentModel("PROPS$", number);
    s.rows = rows;
    segments.emplace(number, std::move(s));
  }
  for (auto& [number, s] : segments) model.segments.push_back(std::move(s));
}

namespace {
// A prefix and a number ("T" and 12 give "T12").
std::string Named(std::string_view prefix, std::uint32_t number) {
  std::string name(prefix);
  name += std::to_string(number);
  return name;
}
}  // namespace

MiniDictionary SampleDictionary(const std::string& release, std::uint32_t n_tables, std::uint32_t n_columns) {
  MiniDictionary d(release);
  d.AddTablespace(0, "SYSTEM");
  d.AddTablespace(2, "SYSAUX");
  d.AddTablespace(4, "USERS");
  d.AddUser(0, "SYS", 0);
  d.AddRole(1, "PUBLIC");
  d.AddRole(4, "DBA");
  d.AddUser(5, "SYSTEM", 0);
  d.AddUser(84, "SCOTT", 4);
  d.AddProperties("WE8MSWIN1252", "AL16UTF16");
  std::uint32_t object = 74000;
  std::uint32_t constraint = 10000;
  for (std::uint32_t t = 0; t < n_tables; ++t) {
    const std::uint32_t table = object++;
    d.AddTable(table, 84, Named("T", t), 4, table, 4, 100 + 8 * t);
    for (std::uint32_t c = 1; c <= n_columns; ++c) {
      MiniDictionary::Column col;
      col.name = Named("C", c);
      if (c % 3 == 0) {
        col.type = 1;
        col.length = 40;
        col.charset = 178;
      } else {
        col.precision = 10;
        col.scale = c % 2;
      }
      col.nullable = c != 1;
      if (c == 2) col.default_text = "0\n";
      d.AddColumn(table, c, col);
    }
    d.AddConstraint(table, 84, constraint++, Named("PK_T", t), 2, {1});
    const std::uint32_t index = object++;
    d.AddObject(index, 84, Named("PK_T", t), 4, 1, index);
    d.AddIndex(table, index, 4, true, {1});
    if (t % 4 == 0) {
      const std::uint32_t view = object++;
      d.AddObject(view, 84, Named("V", t), 1, 4);
      d.AddViewText(view, Named("select c1 from t", t));
    }
    if (t % 8 == 0) {
      const std::uint32_t proc = object++;
      d.AddObject(proc, 84, Named("P", t), 1, 7);
      d.AddSourceLine(proc, 1, Named("procedure p", t).append(" is\n"));
      d.AddSourceLine(proc, 2, "begin null; end;");
    }
  }
  return d;
}

}  // namespace quillon::testdb
