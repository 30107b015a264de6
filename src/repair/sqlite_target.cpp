#include "repair/sqlite_target.h"

#include <sqlite3.h>

#include <algorithm>
#include <limits>
#include <map>
#include <set>

#include "reader/packed_codes.h"
#include "repair/object_shape.h"
#include "repair/quoting.h"
#include "repair/spill_folder.h"
#include "repair/sqlite_values.h"
#include "rows/row_reader.h"
#include "rows/value_texts.h"

namespace quillon::repair {

std::string SqliteIdent(std::string_view name) {
  if (name.find('\0') != std::string_view::npos) return {};
  std::string out = "\"";
  for (const char c : name) {
    out += c;
    if (c == '"') out += '"';
  }
  out += '"';
  return out;
}

SqliteTarget::~SqliteTarget() { Disconnect(); }

bool SqliteTarget::Fail(const std::string& what) {
  error_ = what + ": " + (db_ ? sqlite3_errmsg(db_) : "no database");
  return false;
}

bool SqliteTarget::Connect() {
  // One thread uses the connection at a time: SQLite's own locking of every
  // call (a mutex per step and bind) is not needed.
  if (sqlite3_open_v2(path_.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                      nullptr) != SQLITE_OK) {
    Fail("cannot open " + path_);
    sqlite3_close(db_);
    db_ = nullptr;
    return false;
  }
  return true;
}

bool SqliteTarget::Execute(const std::string& sql) {
  if (!db_) return Fail("not connected");
  char* message = nullptr;
  if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
    error_ = message ? message : sqlite3_errmsg(db_);
    sqlite3_free(message);
    return false;
  }
  return true;
}

bool SqliteTarget::Execute(const Statement& statement) {
  // SQLite has no accounts: a statement with a password place is not one of
  // its own.
  if (statement.password_at) {
    error_ = "SQLite has no accounts";
    return false;
  }
  if (!statement.values.empty()) {
    error_ = "bound values are only taken with rows";
    return false;
  }
  return Execute(statement.text);
}

bool SqliteTarget::BeginRows() {
  rows_ = RowOutcome{};
  if (!db_) return Fail("not connected");
  return Execute("BEGIN");
}

namespace {

// Binds one value; SQLITE_OK or SQLite's error code.
int Bind(sqlite3_stmt* insert, int at, const Value& value) {
  struct Binder {
    sqlite3_stmt* s;
    int at;
    int operator()(const NullValue&) const { return sqlite3_bind_null(s, at); }
    int operator()(const IntegerValue& v) const { return sqlite3_bind_int64(s, at, v.value); }
    int operator()(const RealValue& v) const { return sqlite3_bind_double(s, at, v.value); }
    int operator()(const TextValue& v) const {
      return sqlite3_bind_text64(s, at, v.text.data(), v.text.size(), SQLITE_STATIC, SQLITE_UTF8);
    }
    int operator()(const NumberValue& v) const {
      return sqlite3_bind_text64(s, at, v.text.data(), v.text.size(), SQLITE_STATIC, SQLITE_UTF8);
    }
    int operator()(const WideTextValue& v) const {
      return sqlite3_bind_text16(s, at, v.text.data(), static_cast<int>(v.text.size() * 2), SQLITE_TRANSIENT);
    }
    int operator()(const BinaryValue& v) const {
      // An empty BLOB stays a BLOB of no bytes, not NULL.
      return v.bytes.empty() ? sqlite3_bind_zeroblob(s, at, 0)
                             : sqlite3_bind_blob64(s, at, v.bytes.data(), v.bytes.size(), SQLITE_STATIC);
    }
    int operator()(const LongValue& v) const {
      // SQLite takes a value whole; the bytes are read into memory here.
      std::vector<std::uint8_t> bytes(v.bytes ? static_cast<std::size_t>(v.bytes->size()) : 0);
      if (!bytes.empty() && v.bytes->Read(0, bytes) != bytes.size()) return SQLITE_IOERR;
      if (v.form == LongValue::Form::kBinary) {
        return sqlite3_bind_blob64(s, at, bytes.data(), bytes.size(), SQLITE_TRANSIENT);
      }
      return sqlite3_bind_text64(s, at, reinterpret_cast<const char*>(bytes.data()), bytes.size(), SQLITE_TRANSIENT,
                                 SQLITE_UTF8);
    }
  };
  return std::visit(Binder{insert, at}, value);
}

}  // namespace

void SqliteTarget::SetRowTable(std::string table, std::vector<std::string> columns) {
  row_table_ = std::move(table);
  row_columns_ = std::move(columns);
}

void SqliteTarget::CountFailedRow() {
  ++rows_.failed;
  if (rows_.errors.size() < kMaxRowErrors) rows_.errors.push_back(error_);
}

void SqliteTarget::FailRow(const std::string& what) {
  Fail(what);
  CountFailedRow();
}

void SqliteTarget::RowNotInserted(const std::string& why) {
  error_ = why;
  CountFailedRow();
}

namespace {
constexpr std::size_t kBlobChunk = 256 * 1024;
}

// Copies each streamed value's bytes into the row just inserted, whose
// BLOBs were bound as zeros of their length.
bool SqliteTarget::StreamLongValues(std::span<const Value> values) {
  const sqlite3_int64 rowid = sqlite3_last_insert_rowid(db_);
  chunk_.resize(kBlobChunk);
  for (const std::size_t i : streamed_) {
    const LongBytes& bytes = *std::get<LongValue>(values[i]).bytes;
    sqlite3_blob* blob = nullptr;
    if (sqlite3_blob_open(db_, "main", row_table_.c_str(), row_columns_[i].c_str(), rowid, 1, &blob) != SQLITE_OK) {
      sqlite3_blob_close(blob);
      return Fail("open the BLOB");
    }
    bool ok = true;
    for (std::uint64_t at = 0; ok && at < bytes.size();) {
      const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(chunk_.size(), bytes.size() - at));
      const std::size_t got = bytes.Read(at, std::span(chunk_.data(), want));
      if (got != want) {
        error_ = "the spill file cannot be read back";
        ok = false;
      } else if (sqlite3_blob_write(blob, chunk_.data(), static_cast<int>(got), static_cast<int>(at)) != SQLITE_OK) {
        ok = Fail("write the BLOB");
      }
      at += got;
    }
    sqlite3_blob_close(blob);
    if (!ok) return false;
  }
  return true;
}

void SqliteTarget::InsertRow(std::string_view insert_sql, std::span<const Value> values) {
  if (!insert_ || insert_sql != insert_sql_) {
    if (insert_) sqlite3_finalize(insert_);
    insert_ = nullptr;
    insert_sql_.assign(insert_sql);
    if (sqlite3_prepare_v2(db_, insert_sql_.c_str(), static_cast<int>(insert_sql_.size()), &insert_, nullptr) !=
        SQLITE_OK) {
      insert_sql_.clear();
      return FailRow("prepare");
    }
  }
  sqlite3_reset(insert_);
  sqlite3_clear_bindings(insert_);
  streamed_.clear();
  for (std::size_t i = 0; i < values.size(); ++i) {
    const auto* long_value = std::get_if<LongValue>(&values[i]);
    // A binary long value goes in as zeros of its length, then its bytes
    // into the stored row: the whole value is never in memory, neither here
    // nor in SQLite's record.
    if (long_value && long_value->form == LongValue::Form::kBinary && long_value->bytes &&
        long_value->bytes->size() > 0 && i < row_columns_.size() && !row_table_.empty() &&
        long_value->bytes->size() <= static_cast<std::uint64_t>(std::numeric_limits<int>::max())) {
      if (sqlite3_bind_zeroblob64(insert_, static_cast<int>(i + 1), long_value->bytes->size()) != SQLITE_OK) {
        return FailRow("bind");
      }
      streamed_.push_back(i);
      continue;
    }
    if (Bind(insert_, static_cast<int>(i + 1), values[i]) != SQLITE_OK) return FailRow("bind");
  }
  // A row whose BLOBs follow it is undone whole when one cannot be written.
  const bool savepoint = !streamed_.empty();
  if (savepoint && !Execute("SAVEPOINT quillon_row")) return FailRow("savepoint");
  bool ok = sqlite3_step(insert_) == SQLITE_DONE;
  if (!ok) Fail("insert");
  sqlite3_reset(insert_);
  if (ok && savepoint) ok = StreamLongValues(values);
  if (savepoint) {
    const std::string why = error_;
    if (!ok) Execute("ROLLBACK TO quillon_row");
    Execute("RELEASE quillon_row");
    error_ = why;
  }
  if (!ok) return CountFailedRow();
  ++rows_.inserted;
}

RowOutcome SqliteTarget::EndRows() {
  if (insert_) sqlite3_finalize(insert_);
  insert_ = nullptr;
  insert_sql_.clear();
  rows_.ok = Execute("COMMIT");
  if (!rows_.ok && rows_.errors.size() < kMaxRowErrors) rows_.errors.push_back(error_ + "\nCOMMIT");
  return rows_;
}

void SqliteTarget::Disconnect() {
  if (insert_) sqlite3_finalize(insert_);
  insert_ = nullptr;
  if (db_) sqlite3_close(db_);
  db_ = nullptr;
}

namespace {

std::string QualifiedName(const std::string& owner, const std::string& name) {
  return SqliteIdent(owner + "." + name);
}

// The SQLite name of each stored column, by its catalogue name: its own,
// or for an attribute of an object column (a hidden SYS_NC column) its
// path, "ADDRESS.CITY", unless another column has that name already.
using SqliteNames = std::map<std::string, std::string>;

SqliteNames SqliteColumnNames(const TableLayout& layout, const std::vector<std::size_t>& stored,
                              const std::map<std::uint32_t, ColumnDefinition>& by_internal) {
  SqliteNames out;
  std::set<std::string> taken;
  for (const std::size_t i : stored) taken.insert(layout.columns()[i]->name);
  for (const std::size_t i : stored) {
    const ColumnInfo& c = *layout.columns()[i];
    std::string name = c.name;
    const auto d = by_internal.find(c.internal_column);
    if (d != by_internal.end() && d->second.attribute_name) {
      std::string path;
      for (const std::string& part : AttributeNameParts(*d->second.attribute_name)) {
        path += (path.empty() ? "" : ".") + part;
      }
      if (!path.empty() && taken.insert(path).second) name = path;
    }
    out.emplace(c.name, std::move(name));
  }
  return out;
}

std::string SqliteName(const SqliteNames& names, const std::string& name) {
  const auto found = names.find(name);
  return SqliteIdent(found == names.end() ? name : found->second);
}

std::string ColumnList(const std::vector<ConstraintColumn>& columns, const SqliteNames& names) {
  std::string out;
  for (const auto& c : columns) {
    if (!out.empty()) out += ", ";
    out += SqliteName(names, c.name);
  }
  return out;
}

bool AllKnown(const std::vector<ConstraintColumn>& columns, const std::set<std::string>& names) {
  if (columns.empty()) return false;
  return std::all_of(columns.begin(), columns.end(), [&](const ConstraintColumn& c) { return names.count(c.name) > 0; });
}

// The columns of a table the rows store, as the row reader delivers them.
std::vector<std::size_t> StoredColumns(const TableLayout& layout) { return ExportColumns(layout); }

}  // namespace

std::vector<std::string> SqliteTableStatements(const CatalogueViews& views, std::uint32_t table,
                                               std::string& side_file) {
  std::vector<std::string> out;
  const ObjectRecord* object = views.catalogue().Object(table);
  if (!object) return out;
  const TableLayout layout = TableLayout::Of(views.catalogue(), table);
  const std::vector<std::size_t> stored = StoredColumns(layout);
  if (stored.empty()) return out;
  std::map<std::uint32_t, ColumnDefinition> by_internal;
  for (ColumnDefinition& d : views.Columns(table)) by_internal.emplace(d.internal_column, std::move(d));
  const SqliteNames sqlite_names = SqliteColumnNames(layout, stored, by_internal);
  const std::string name = QualifiedName(object->owner, object->name);
  std::string sql = "CREATE TABLE " + name + " (";
  std::set<std::string> names;
  for (std::size_t i = 0; i < stored.size(); ++i) {
    const ColumnInfo& c = *layout.columns()[stored[i]];
    const auto d = by_internal.find(c.internal_column);
    const std::optional<std::int64_t> precision = d != by_internal.end() ? d->second.precision : std::nullopt;
    const std::optional<std::int64_t> scale = d != by_internal.end() ? d->second.scale : std::nullopt;
    if (i > 0) sql += ", ";
    sql += SqliteName(sqlite_names, c.name) + " " + std::string(SqliteColumnType(c.type_code, precision, scale));
    if (!c.nullable) sql += " NOT NULL";
    names.insert(c.name);
  }
  for (const ConstraintDefinition& k : views.Constraints(table)) {
    switch (k.kind) {
      case ConstraintKind::kPrimaryKey:
      case ConstraintKind::kUnique:
        if (!AllKnown(k.columns, names)) break;
        sql += ", CONSTRAINT " + SqliteIdent(k.name) +
               (k.kind == ConstraintKind::kPrimaryKey ? " PRIMARY KEY (" : " UNIQUE (") + ColumnList(k.columns, sqlite_names) + ")";
        break;
      case ConstraintKind::kForeignKey:
        if (!AllKnown(k.columns, names) || !k.references || k.references->columns.empty()) break;
        sql += ", CONSTRAINT " + SqliteIdent(k.name) + " FOREIGN KEY (" + ColumnList(k.columns, sqlite_names) + ") REFERENCES " +
               QualifiedName(k.references->table.owner, k.references->table.name) + " (" +
               ColumnList(k.references->columns, {}) + ")";
        if (k.delete_rule == DeleteRule::kCascade) sql += " ON DELETE CASCADE";
        if (k.delete_rule == DeleteRule::kSetNull) sql += " ON DELETE SET NULL";
        break;
      case ConstraintKind::kCheck: {
        const Quoted owner = QuoteIdent(object->owner);
        const Quoted table_name = QuoteIdent(object->name);
        const Quoted constraint = QuoteIdent(k.name);
        if (!owner || !table_name || !constraint || k.condition.empty()) break;
        side_file += "ALTER TABLE " + owner.text() + "." + table_name.text() + " ADD CONSTRAINT " +
                     constraint.text() + " CHECK (" + k.condition + ");\n";
        break;
      }
      default:
        break;
    }
  }
  sql += ")";
  out.push_back(std::move(sql));
  for (const IndexDefinition& index : views.IndexesOf(table)) {
    if (!index.CreatedOnItsOwn() || index.function_based || index.columns.empty()) continue;
    std::string columns;
    bool known = true;
    for (const IndexColumnDefinition& c : index.columns) {
      if (names.count(c.name) == 0) known = false;
      if (!columns.empty()) columns += ", ";
      columns += SqliteName(sqlite_names, c.name) + (c.descending ? " DESC" : "");
    }
    if (!known) continue;
    out.push_back(std::string(index.unique ? "CREATE UNIQUE INDEX " : "CREATE INDEX ") +
                  QualifiedName(index.object.owner, index.object.name) + " ON " + name + " (" + columns + ")");
  }
  return out;
}

namespace {

class SqliteRowSender final : public RowConsumer {
 public:
  SqliteRowSender(RowValueTexts& texts, const TableLayout& layout, std::span<const std::size_t> columns,
                  std::span<const std::string_view> types, std::string_view insert, SqliteTarget& target,
                  std::string spill_root)
      : texts_(texts), layout_(layout), columns_(columns), types_(types), insert_(insert), target_(target),
        spill_root_(std::move(spill_root)) {
    for (std::size_t i = 0; i < columns_.size(); ++i) {
      const std::uint32_t code = layout_.columns()[columns_[i]]->type_code;
      if (code == type_code::kBlob || code == type_code::kLongRaw) {
        binary_large_.push_back(i);
      } else {
        text_columns_.push_back(columns_[i]);
      }
    }
  }
  bool Row(const TableRow& row) override {
    if (binary_large_.empty()) {
      texts_.Fill(row, layout_, columns_, texts_out_);
      SqliteRowValues(row, layout_, columns_, types_, texts_out_, values_);
    } else if (!BinaryLargeRow(row)) {
      return true;  // counted as a failed row
    }
    target_.InsertRow(insert_, values_);
    ReturnMovedTexts(layout_, columns_, texts_out_, values_);
    return true;
  }
  // LOBs of binary columns written without some of their pages (the text
  // columns' ones are counted by the value texts).
  std::uint64_t incomplete_binary() const { return incomplete_binary_; }

  // Binary values up to this size are held in memory; longer ones wait in
  // the spill file and are streamed into SQLite.
  static constexpr std::size_t kInMemoryBytes = 1 << 20;

 private:
  // A row with BLOB or LONG RAW columns: their bytes go straight into the
  // bound values, not through a hexadecimal text twice their size; a long
  // one through the spill file, so that memory stays flat however long the
  // LOBs are.
  bool BinaryLargeRow(const TableRow& row) {
    texts_.Fill(row, layout_, text_columns_, some_texts_);
    texts_out_.resize(columns_.size());
    std::size_t next_text = 0, next_binary = 0;
    for (std::size_t i = 0; i < columns_.size(); ++i) {
      ValueText& t = texts_out_[i];
      if (next_binary < binary_large_.size() && binary_large_[next_binary] == i) {
        ++next_binary;
        t.is_null = row.values[columns_[i]].is_null;
        t.text.clear();
      } else {
        std::swap(t, some_texts_[next_text++]);
      }
    }
    SqliteRowValues(row, layout_, columns_, types_, texts_out_, values_);
    if (spill_) spill_->Reset();  // the last row's values have been inserted
    for (const std::size_t i : binary_large_) {
      const std::size_t c = columns_[i];
      if (row.values[c].is_null) continue;  // NULL already
      if (!BinaryValueOf(row, c, values_[i])) {
        target_.RowNotInserted("a BLOB or LONG RAW value cannot be written to the spill file");
        return false;
      }
    }
    return true;
  }

  // One binary value: its bytes in memory, or once longer than
  // kInMemoryBytes, in the spill file. False when the spill file refuses.
  bool BinaryValueOf(const TableRow& row, std::size_t c, Value& out) {
    std::vector<std::uint8_t>& bytes = held_;
    bytes.clear();
    bool spilled = false;
    bool ok = true;
    const ByteSink sink = [&](ByteView part) {
      if (!ok) return;
      if (!spilled && (bytes.size() + part.size() <= kInMemoryBytes || !Spill())) {
        bytes.insert(bytes.end(), part.data(), part.data() + part.size());
        return;
      }
      if (!spilled) {
        spilled = true;
        spill_->BeginValue();
        ok = spill_->Append(bytes);
        bytes.clear();
      }
      if (ok) ok = spill_->Append({part.data(), part.size()});
    };
    const LobReadResult read = texts_.LargeValueBytes(row, *layout_.columns()[c], row.values[c], sink);
    if (!read.complete) ++incomplete_binary_;
    if (!ok) return false;
    if (spilled) {
      out = LongValue{LongValue::Form::kBinary, spill_->FinishValue()};
    } else {
      if (!std::holds_alternative<BinaryValue>(out)) out = BinaryValue{};
      std::swap(std::get<BinaryValue>(out).bytes, bytes);
    }
    return true;
  }

  // The spill folder, made when first needed; false when it cannot be
  // (the value then stays in memory).
  bool Spill() {
    if (!spill_ && !spill_failed_) {
      std::string error;
      spill_ = SpillFolder::Create(&error, spill_root_);
      spill_failed_ = !spill_;
    }
    return spill_ != nullptr;
  }

  std::vector<std::size_t> binary_large_;  // places in columns_ of BLOB and LONG RAW columns
  std::vector<std::size_t> text_columns_;  // the other columns (layout indexes)
  std::vector<ValueText> some_texts_;
  RowValueTexts& texts_;
  const TableLayout& layout_;
  std::span<const std::size_t> columns_;
  std::span<const std::string_view> types_;
  std::string_view insert_;
  SqliteTarget& target_;
  std::string spill_root_;
  std::unique_ptr<SpillFolder> spill_;
  bool spill_failed_ = false;
  std::vector<std::uint8_t> held_;
  std::vector<ValueText> texts_out_;
  std::vector<Value> values_;
  std::uint64_t incomplete_binary_ = 0;
};

}  // namespace

SqliteTableResult RepairTableIntoSqlite(COracleRecoveryTools& engine, BlockSource& source,
                                        const CatalogueViews& views, std::uint32_t table, SqliteTarget& target,
                                        std::string& side_file,
                                        const std::function<void(std::uint64_t, std::uint64_t)>& progress,
                                        const std::string& spill_root) {
  SqliteTableResult result;
  const ObjectRecord* object = views.catalogue().Object(table);
  if (!object) return result;
  const std::vector<std::string> statements = SqliteTableStatements(views, table, side_file);
  if (statements.empty()) return result;
  result.created = target.Execute(Statement::Sql(statements.front()));
  if (!result.created) {
    // No rows go into a table that is not there: each would fail.
    result.errors.push_back(target.DescribeError() + "\n" + statements.front());
  }
  TableRowReader reader(engine, source, table);
  const std::vector<std::size_t> columns = StoredColumns(reader.layout());
  result.fields = columns.size();
  if (result.created) {
    std::map<std::uint32_t, ColumnDefinition> by_internal;
    for (ColumnDefinition& d : views.Columns(table)) by_internal.emplace(d.internal_column, std::move(d));
    const SqliteNames sqlite_names = SqliteColumnNames(reader.layout(), columns, by_internal);
    std::vector<std::string_view> types;
    std::vector<std::string> names;
    std::string insert = "INSERT INTO " + QualifiedName(object->owner, object->name) + " VALUES (";
    for (std::size_t i = 0; i < columns.size(); ++i) {
      const ColumnInfo& c = *reader.layout().columns()[columns[i]];
      const auto d = by_internal.find(c.internal_column);
      types.push_back(SqliteColumnType(c.type_code, d != by_internal.end() ? d->second.precision : std::nullopt,
                                       d != by_internal.end() ? d->second.scale : std::nullopt));
      names.push_back(sqlite_names.at(c.name));
      insert += i == 0 ? "?" : ", ?";
    }
    insert += ")";
    target.SetRowTable(object->owner + "." + object->name, std::move(names));
    if (progress) {
      const std::uint64_t total = reader.blocks().BlockCount();
      reader.OnBlock([&reader, &progress, total] { progress(reader.stats().blocks_read, total); });
    }
    if (target.BeginRows()) {
      RowValueTexts texts(engine, table, LargeValues::kContent);
      SqliteRowSender sender(texts, reader.layout(), columns, types, insert, target, spill_root);
      reader.Read(TableRowReader::Begin(), 0, sender);
      RowOutcome rows = target.EndRows();
      result.rows = rows.inserted;
      result.failed_rows = rows.failed;
      for (std::string& e : rows.errors) result.errors.push_back(std::move(e));
      result.incomplete_lobs = texts.incomplete_values() + sender.incomplete_binary();
      if (result.incomplete_lobs > 0) {
        result.errors.push_back(std::to_string(result.incomplete_lobs) +
                                " LOB value(s) written incomplete: some of their pages are missing from the "
                                "datafiles\n" + insert);
      }
    } else {
      result.errors.push_back(target.DescribeError() + "\n" + insert);
    }
    for (std::size_t i = 1; i < statements.size(); ++i) {
      if (!target.Execute(Statement::Sql(statements[i]))) result.errors.push_back(target.DescribeError() + "\n" + statements[i]);
    }
    result.partial_rows = reader.stats().partial_rows;
    result.stopped = reader.stopped();
  }
  return result;
}

}  // namespace quillon::repair
