// Views, synonyms, sequences, triggers, source lines, object types, database
// links, materialized views and their logs.
#include "testdb/dictionary_rows.h"

namespace quillon::testdb {

namespace {

// A second identifier derived from a type identifier (TVOID, COLL_TOID).
Bytes Derived(const Bytes& toid, std::uint8_t salt) {
  Bytes out = toid;
  for (auto& b : out) b = static_cast<std::uint8_t>(b ^ salt ^ 0x5C);
  return out;
}

}  // namespace

void DictionaryRows::Views() {
  for (const RView& v : r_.views) {
    DictRow row = New("VIEW$");
    row.Num("OBJ#", v.object)
        .Text("AUDIT$", kNoAudit)
        .Num("COLS", v.column_count)
        .Num("INTCOLS", v.column_count)
        .Num("PROPERTY", static_cast<std::int64_t>(v.property))
        .Num("FLAGS", 0)
        .Num("TEXTLENGTH", static_cast<std::int64_t>(v.text.size()))
        .Text("TEXT", v.text);
    Add("VIEW$", row);
    if (v.type_name.empty()) continue;
    const std::string type_text = "\"" + v.type_owner + "\".\"" + v.type_name + "\"";
    Add("TYPED_VIEW$", New("TYPED_VIEW$")
                           .Num("OBJ#", v.object)
                           .Text("TYPEOWNER", v.type_owner)
                           .Text("TYPENAME", v.type_name)
                           .Num("TYPETEXTLENGTH", static_cast<std::int64_t>(type_text.size()))
                           .Text("TYPETEXT", type_text)
                           .Num("OIDTEXTLENGTH", static_cast<std::int64_t>(v.oid_text.size()))
                           .Text("OIDTEXT", v.oid_text));
  }
}

void DictionaryRows::Synonyms() {
  for (const RSynonym& s : r_.synonyms) {
    Add("SYN$", New("SYN$")
                    .Num("OBJ#", s.object)
                    .Text("NODE", s.link)
                    .Text("OWNER", s.target_owner)
                    .Text("NAME", s.target_name));
  }
}

void DictionaryRows::Sequences() {
  for (const RSequence& s : r_.sequences) {
    const SequenceDescription& wanted = *s.wanted;
    Add("SEQ$", New("SEQ$")
                    .Num("OBJ#", s.object)
                    .NumText("INCREMENT$", wanted.increment)
                    .NumText("MINVALUE", wanted.min_value)
                    .NumText("MAXVALUE", wanted.max_value)
                    .Num("CYCLE#", wanted.cycle ? 1 : 0)
                    .Num("ORDER$", wanted.order ? 1 : 0)
                    .NumText("CACHE", wanted.cache)
                    .NumText("HIGHWATER", wanted.high_water)
                    .Text("AUDIT$", kNoAudit)
                    .Num("FLAGS", 0));
  }
}

void DictionaryRows::Triggers() {
  for (const RTrigger& t : r_.triggers) {
    const TriggerDescription& wanted = *t.wanted;
    DictRow row = New("TRIGGER$");
    row.Num("OBJ#", t.object)
        .Num("TYPE#", t.type)
        .Num("UPDATE$", t.on_update ? 1 : 0)
        .Num("INSERT$", t.on_insert ? 1 : 0)
        .Num("DELETE$", t.on_delete ? 1 : 0)
        .Num("BASEOBJECT", t.base_object)
        .Text("REFOLDNAME", wanted.old_name)
        .Text("REFNEWNAME", wanted.new_name)
        .Text("DEFINITION", wanted.description)
        .Text("WHENCLAUSE", wanted.when_clause)
        .Text("ACTION#", wanted.body)
        .Num("ACTIONSIZE", static_cast<std::int64_t>(wanted.body.size()))
        .Num("ENABLED", wanted.enabled ? 1 : 0)
        .Num("PROPERTY", static_cast<std::int64_t>(t.property))
        .Num("SYS_EVTS", t.system_events == 0 ? std::nullopt : std::optional<std::int64_t>(t.system_events))
        .Text("REFPRTNAME", wanted.parent_name)
        .Num("ACTIONLINENO", 1);
    if (version_ >= DictVersion::k111) {
      row.Num("TRIGNAMELINE", 1).Num("TRIGNAMECOL", 9).Num("TRIGNAMECOLOFS", 0).Num("ACTIONCOLNO", 1);
    }
    Add("TRIGGER$", row);
  }
}

void DictionaryRows::Source() {
  for (const RSourceLine& l : r_.source_lines) {
    Add("SOURCE$", New("SOURCE$").Num("OBJ#", l.object).Num("LINE", l.line).Text("SOURCE", l.text));
  }
}

void DictionaryRows::Types() {
  for (const RType& t : r_.types) {
    if (t.builtin) continue;
    const TypeDescription& wanted = *t.wanted;
    DictRow row = New("TYPE$");
    Bytes hash = Derived(t.toid, 0x11);
    hash.push_back(0x02);
    row.Raw("TOID", t.toid)
        .Num("VERSION#", 1)
        .Text("VERSION", "$8.0")
        .Raw("TVOID", Derived(t.toid, 0x33))
        .Num("TYPECODE", t.typecode)
        .Num("PROPERTIES", 0)
        .Num("ATTRIBUTES", static_cast<std::int64_t>(wanted.attributes.size()))
        .Num("METHODS", static_cast<std::int64_t>(wanted.methods.size()))
        .Num("HIDDENMETHODS", 0)
        .Num("SUPERTYPES", 0)
        .Num("SUBTYPES", 0)
        .Num("LOCAL_ATTRS", static_cast<std::int64_t>(wanted.attributes.size()))
        .Num("LOCAL_METHODS", static_cast<std::int64_t>(wanted.methods.size()))
        .Raw("HASHCODE", hash);
    Add("TYPE$", row);
    Add("TYPE_MISC$", New("TYPE_MISC$").Num("OBJ#", t.object).Text("AUDIT$", kNoAudit).Num("PROPERTIES", 0));
    const auto type_of = [&](const ColumnType& c) -> const RType& {
      const std::string name = TypeNameOf(c);
      for (const RType& x : r_.types) {
        if (IsUserType(c.type) ? (x.owner == c.type_owner && x.name == name) : (x.builtin && x.name == name)) return x;
      }
      return r_.types.front();
    };
    for (std::size_t i = 0; i < wanted.attributes.size(); ++i) {
      const AttributeDescription& a = wanted.attributes[i];
      const RType& at = type_of(a.type);
      DictRow attr = New("ATTRIBUTE$");
      attr.Raw("TOID", t.toid)
          .Num("VERSION#", 1)
          .Text("NAME", a.name)
          .Num("ATTRIBUTE#", static_cast<std::int64_t>(i + 1))
          .Raw("ATTR_TOID", at.toid)
          .Num("ATTR_VERSION#", 1)
          .Num("PROPERTIES", at.builtin ? 2 : 1);
      const bool character = a.type.type == SqlType::kVarchar2 || a.type.type == SqlType::kChar;
      if (character) attr.Num("CHARSETID", charset_->id).Num("CHARSETFORM", 1).Num("LENGTH", a.type.length);
      if (a.type.precision) attr.Num("PRECISION#", *a.type.precision);
      if (a.type.scale) attr.Num("SCALE", *a.type.scale);
      Add("ATTRIBUTE$", attr);
    }
    if (wanted.kind != TypeKind::kObject) {
      const RType& et = type_of(wanted.element);
      DictRow coll = New("COLLECTION$");
      coll.Raw("TOID", t.toid)
          .Num("VERSION#", 1)
          .Raw("COLL_TOID", Derived(t.toid, 0x77))
          .Num("COLL_VERSION#", 1)
          .Raw("ELEM_TOID", et.toid)
          .Num("ELEM_VERSION#", 1)
          .Num("PROPERTIES", et.builtin ? 2 : 1);
      if (wanted.element.type == SqlType::kVarchar2) {
        coll.Num("CHARSETID", charset_->id).Num("CHARSETFORM", 1).Num("LENGTH", wanted.element.length);
      }
      if (wanted.element.precision) coll.Num("PRECISION", *wanted.element.precision);
      if (wanted.element.scale) coll.Num("SCALE", *wanted.element.scale);
      if (wanted.kind == TypeKind::kVarray) coll.Num("UPPER_BOUND", wanted.upper_bound);
      Add("COLLECTION$", coll);
    }
    for (std::size_t i = 0; i < wanted.methods.size(); ++i) {
      Add("METHOD$", New("METHOD$")
                         .Raw("TOID", t.toid)
                         .Num("VERSION#", 1)
                         .Num("METHOD#", static_cast<std::int64_t>(i + 1))
                         .Text("NAME", wanted.methods[i])
                         .Num("PROPERTIES", 2)
                         .Num("PARAMETERS#", 1)
                         .Num("RESULTS", 1));
    }
  }
}

void DictionaryRows::Links() {
  for (const RLink& l : r_.links) {
    const DatabaseLinkDescription& wanted = *l.wanted;
    // From 10g Release 2 on the password is kept only as a hash.
    const bool hashed = version_ >= DictVersion::k102;
    DictRow row = New("LINK$");
    row.Num("OWNER#", l.owner)
        .Text("NAME", wanted.name)
        .Date("CTIME", Created())
        .Text("HOST", wanted.host)
        .Text("USERID", wanted.user_name)
        .Num("FLAG", 0);
    if (!wanted.user_name.empty()) {
      if (hashed) {
        Bytes hash(24);
        for (std::size_t i = 0; i < hash.size(); ++i) {
          hash[i] = static_cast<std::uint8_t>(wanted.password[i % wanted.password.size()] * 7 + i);
        }
        row.Raw("PASSWORDX", hash);
      } else {
        row.Text("PASSWORD", wanted.password);
      }
    }
    Add("LINK$", row);
  }
}

void DictionaryRows::MaterializedViews() {
  for (const RMaterializedView& m : r_.materialized_views) {
    const MaterializedViewDescription& wanted = *m.wanted;
    const std::string& query = wanted.query;
    DictRow sum = New("SUM$");
    sum.Num("OBJ#", m.object)
        .Num("CONTAINEROBJ#", m.container)
        .Num("CONTAINERTYPE", 1)
        .Text("CONTAINERNAM", wanted.name)
        .Date("LASTREFRESHDATE", Created())
        .Num("REFRESHMODE", wanted.refresh_fast ? 2 : 3)
        .Num("PFLAGS", 0)
        .Num("XPFLAGS", 0)
        .Num("MFLAGS", 0)
        .Num("NUMDETAILTAB", 1)
        .Num("NUMAGGREGATES", 0)
        .Num("NUMKEYCOLUMNS", 0)
        .Num("NUMJOINS", 0)
        .Num("NUMINLINES", 0)
        .Num("NUMWHRNODES", 0)
        .Num("NUMHAVNODES", 0)
        .Num("SUMTEXTLEN", static_cast<std::int64_t>(query.size()))
        .Text("SUMTEXT", query)
        .Num("FROMOFFSET", static_cast<std::int64_t>(query.find(" from ") == std::string::npos ? 0 : query.find(" from ") + 1))
        .Num("FROMLEN", static_cast<std::int64_t>(wanted.master.size()))
        .Num("METAVERSION", 1)
        .Num("OBJCOUNT", 1);
    Add("SUM$", sum);
    DictRow snap = New("SNAP$");
    snap.Text("SOWNER", wanted.owner)
        .Text("VNAME", wanted.name)
        .Text("TNAME", wanted.name)
        .Text("MOWNER", wanted.master_owner)
        .Text("MASTER", wanted.master)
        .Date("SNAPTIME", Created())
        .Num("STATUS", 1)
        .Num("TABLES", 1)
        .Num("FLAG", wanted.primary_key ? 0x20 : 0x10)
        .Num("FLAG2", 0)
        .Text("QUERY_TXT", query)
        .Date("MTIME", Created())
        .Num("QUERY_LEN", static_cast<std::int64_t>(query.size()));
    Add("SNAP$", snap);
  }
  for (const RMaterializedViewLog& log : r_.materialized_view_logs) {
    const MaterializedViewLogDescription& wanted = *log.wanted;
    DictRow row = New("MLOG$");
    row.Text("MOWNER", wanted.owner)
        .Text("MASTER", wanted.master)
        .Date("OLDEST", Created())
        .Text("LOG", log.log_table)
        .Num("FLAG", static_cast<std::int64_t>(log.flag))
        .Date("MTIME", Created());
    // Before 10g a trigger on the master fills the log.
    if (version_ < DictVersion::k101) row.Text("TRIG", "TLOG$_" + wanted.master.substr(0, 24));
    Add("MLOG$", row);
    for (const auto& column : wanted.filter_columns) {
      Add("MLOG_REFCOL$", New("MLOG_REFCOL$")
                              .Text("MOWNER", wanted.owner)
                              .Text("MASTER", wanted.master)
                              .Text("COLNAME", column)
                              .Date("OLDEST", Created())
                              .Num("FLAG", 0));
    }
  }
}

}  // namespace quillon::testdb
