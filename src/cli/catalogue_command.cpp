// quillon catalogue DIR [--json] [--charset NAME]
//
// Identifies the database in DIR, rebuilds its dictionary and prints the
// catalogue: users and roles, tablespaces and datafiles, every object by
// kind with its owner and name, tables with their columns, constraints,
// indexes and partitions, and the counters of the scan report. --json prints
// the catalogue in the shape of docs/catalogue-json.md. --charset decodes
// the dictionary's texts in that character set instead of the database's
// own (NLS_CHARACTERSET from PROPS$).
#include <algorithm>
#include <map>
#include <ostream>
#include <tuple>

#include "cli/catalogue_listing.h"
#include "cli/cli.h"
#include "cli/terminal_sink.h"
#include "reader/catalogue_json.h"
#include "reader/catalogue_views.h"
#include "reader/charset.h"
#include "reader/dictionary_rebuild.h"
#include "reader/identify.h"

namespace quillon::cli {

namespace {

// The caption of an object kind in the listing.
const char* KindCaption(ObjectKind kind) {
  switch (kind) {
    case ObjectKind::kTable: return "TABLE";
    case ObjectKind::kView: return "VIEW";
    case ObjectKind::kSynonym: return "SYNONYM";
    case ObjectKind::kSequence: return "SEQUENCE";
    case ObjectKind::kProcedure: return "PROCEDURE";
    case ObjectKind::kFunction: return "FUNCTION";
    case ObjectKind::kPackage: return "PACKAGE";
    case ObjectKind::kType: return "TYPE";
    case ObjectKind::kTablePartition: return "TABLE PARTITION";
    case ObjectKind::kTableSubpartition: return "TABLE SUBPARTITION";
    case ObjectKind::kTypeBody: return "TYPE BODY";
    case ObjectKind::kPackageBody: return "PACKAGE BODY";
    case ObjectKind::kTrigger: return "TRIGGER";
    case ObjectKind::kIndex: return "INDEX";
    case ObjectKind::kCluster: return "CLUSTER";
    case ObjectKind::kMaterializedView: return "MATERIALIZED VIEW";
  }
  return "OBJECT";
}

class Listing {
 public:
  Listing(const Catalogue& c, std::ostream& out) : c_(c), v_(c), out_(out) {}

  void Security() {
    out_ << "Users (" << c_.users.size() << ")\n";
    for (const UserDefinition& u : ByName(v_.Users())) {
      out_ << "  " << u.name << "  default " << Or(u.default_tablespace) << "  temporary "
           << Or(u.temporary_tablespace) << "  " << u.identification << (u.account_status ? "  locked/expired" : "")
           << (u.builtin ? "  built-in" : "") << "\n";
    }
    out_ << "Roles (" << c_.roles.size() << ")\n";
    for (const RoleDefinition& r : ByName(v_.Roles())) {
      out_ << "  " << r.name << "  " << r.identification << (r.builtin ? "  built-in" : "") << "\n";
    }
  }

  void Storage(const std::vector<DatafileDefinition>& files) {
    out_ << "Tablespaces (" << c_.tablespaces.size() << ")\n";
    for (const TablespaceDefinition& t : ByName(v_.Tablespaces(files))) {
      out_ << "  " << t.name << "  number " << t.number << "  block size " << t.block_size
           << (t.builtin ? "  built-in" : "") << "\n";
    }
    out_ << "Datafiles (" << files.size() << ")\n";
    for (const auto& f : files) {
      out_ << "  " << f.file_name << "  tablespace " << f.tablespace << "  file " << f.relative_file << "\n";
    }
  }

  void Objects() {
    std::vector<const ObjectRecord*> list;
    for (const ObjectRecord& o : c_.objects) {
      if (o.kind) list.push_back(&o);
    }
    std::sort(list.begin(), list.end(), [](const ObjectRecord* a, const ObjectRecord* b) {
      return std::tie(a->owner, *a->kind, a->name, a->object_number) <
             std::tie(b->owner, *b->kind, b->name, b->object_number);
    });
    out_ << "Objects (" << list.size() << ")\n";
    const std::string* owner = nullptr;
    for (const ObjectRecord* o : list) {
      if (owner == nullptr || *owner != o->owner) {
        owner = &o->owner;
        out_ << "  " << o->owner << "\n";
      }
      out_ << "    " << KindCaption(*o->kind) << " " << o->name;
      if (!o->subname.empty()) out_ << " (" << o->subname << ")";
      out_ << "\n";
      if (o->kind == ObjectKind::kTable) Table(*o);
      if (o->kind == ObjectKind::kIndex) Index(*o);
    }
  }

  void Counters(std::uint64_t tables) {
    out_ << "Total Table(s) present  :  " << tables << "\n";
    for (const CounterLabel& l : CounterLabels()) {
      if (!l.label.empty()) out_ << l.label << c_.count(l.counter) << "\n";
    }
  }

 private:
  static std::string Or(const std::string& s) { return s.empty() ? "-" : s; }

  template <typename Definition>
  static std::vector<Definition> ByName(std::vector<Definition> list) {
    std::stable_sort(list.begin(), list.end(),
                     [](const Definition& a, const Definition& b) { return a.name < b.name; });
    return list;
  }

  void Table(const ObjectRecord& o) {
    const TableDefinition t = v_.Table(o);
    if (t.has_table_record) {
      out_ << "      tablespace " << Or(t.tablespace) << "  property " << t.property;
      if (t.data_object_number) out_ << "  segment file " << t.relative_file_number << " block " << t.header_block;
      out_ << "\n";
    }
    for (const ColumnDefinition& col : t.columns) {
      out_ << "      " << col.name << " " << col.sql_type << (col.nullable ? "" : " NOT NULL");
      if (!col.default_text.empty()) out_ << " DEFAULT " << col.default_text;
      out_ << "\n";
    }
    for (const ConstraintDefinition& cd : t.constraints) {
      out_ << "      constraint " << ConstraintTypeLetter(cd.type) << " " << cd.name << " (";
      for (std::size_t i = 0; i < cd.columns.size(); ++i) out_ << (i == 0 ? "" : ", ") << cd.columns[i].name;
      out_ << ")";
      if (cd.references) {
        out_ << " REFERENCES " << cd.references->table.owner << "." << cd.references->table.name << " (";
        for (std::size_t i = 0; i < cd.references->columns.size(); ++i) {
          out_ << (i == 0 ? "" : ", ") << cd.references->columns[i].name;
        }
        out_ << ")";
        if (cd.delete_rule == DeleteRule::kCascade) out_ << " ON DELETE CASCADE";
        if (cd.delete_rule == DeleteRule::kSetNull) out_ << " ON DELETE SET NULL";
      }
      if (!cd.condition.empty()) out_ << " CHECK " << cd.condition;
      out_ << "\n";
    }
    for (const PartitionDefinition& p : t.partitions) {
      out_ << "      partition " << p.name << " " << Or(p.high_value.value_or(""));
      if (!p.composite) out_ << "  tablespace " << Or(p.tablespace);
      out_ << "\n";
      for (const PartitionDefinition& s : p.subpartitions) {
        out_ << "        subpartition " << s.name << "  tablespace " << Or(s.tablespace) << "\n";
      }
    }
  }

  void Index(const ObjectRecord& o) {
    const IndexDefinition ix = v_.Index(o);
    if (!ix.has_index_record) return;
    const std::uint32_t base = c_.indexes.First<0>(o.object_number)->table_object_number;
    out_ << "      on " << (ix.table ? ix.table->owner + "." + ix.table->name : NumberedName(base))
         << (ix.unique ? "  unique" : "") << "  tablespace " << Or(ix.tablespace) << "\n";
  }

  const Catalogue& c_;
  const CatalogueViews v_;
  std::ostream& out_;
};

}  // namespace

void WriteCatalogueListing(const Catalogue& catalogue, const std::vector<DatafileDefinition>& datafiles,
                           std::ostream& out) {
  Listing listing(catalogue, out);
  listing.Security();
  listing.Storage(datafiles);
  listing.Objects();
  listing.Counters(catalogue.count(Counter::kTables));
}

int RunCatalogue(std::span<const std::string> argv, Io& io) {
  const Args args(argv, {"--json"}, {"--charset"});
  args.ExpectPositionals(1, 1);
  const std::string& dir = args.Positional(0, "DIR");
  const CharsetInfo* charset = args.Value("--charset") ? &CharsetOption(args) : nullptr;
  const auto system = FindSystemDatafile(dir);
  if (!system) throw Failure{"no SYSTEM datafile found in " + dir};

  TerminalSink sink(nullptr, io.err, StderrIsTerminal());
  StopFlag stop;
  COracleRecoveryTools engine(sink, stop);
  IdentifyRelease(engine, *system);
  if (engine.identification.unsupported) throw Failure{"the release of " + *system + " is not supported"};
  if (charset != nullptr) {
    engine.values.SetDatabaseCharset(*charset);
    engine.keep_character_sets = true;
  }
  const DictionaryResult result = ReadDictionary(engine);
  if (!result.system_read) throw Failure{"the SYSTEM datafile " + *system + " could not be read"};

  const CatalogueJsonHeader header = JsonHeaderOf(engine);
  const Catalogue& c = engine.catalogue;
  if (args.Has("--json")) {
    io.out << CatalogueToJson(c, header) << "\n";
    return kExitOk;
  }
  io.out << "Database        : " << header.database_name << "  (" << header.release_text << ")\n";
  io.out << "Character sets  : " << (c.properties.found ? c.properties.character_set : "not read") << " / "
         << (c.properties.found ? c.properties.national_character_set : "not read")
         << (charset != nullptr ? "  (decoded as " + std::string(charset->name) + ")" : "") << "\n";
  if (engine.layout_variant != 0) io.out << "Layout variant  : " << static_cast<int>(engine.layout_variant) << "\n";
  WriteCatalogueListing(c, header.datafiles, io.out);
  return kExitOk;
}

}  // namespace quillon::cli
