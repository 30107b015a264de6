// Small catalogues built by hand for the code object generators: objects
// with source lines, views, synonyms, sequences, triggers, links,
// materialized views and their logs, XML schemas.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "reader/catalogue.h"

namespace quillon::test {

class CodeCatalogue {
 public:
  Catalogue cat;

  std::uint32_t Object(ObjectKind kind, const std::string& owner, const std::string& name) {
    ObjectRecord o;
    o.object_number = next_object_++;
    o.owner = owner;
    o.name = name;
    o.kind = kind;
    cat.AddObject(o);
    return o.object_number;
  }
  std::uint32_t Unit(ObjectKind kind, const std::string& owner, const std::string& name,
                     const std::vector<std::string>& lines) {
    const std::uint32_t n = Object(kind, owner, name);
    for (std::size_t i = 0; i < lines.size(); ++i) {
      SourceLineRecord l;
      l.object_number = n;
      l.line = static_cast<std::uint32_t>(i + 1);
      l.text = lines[i];
      cat.source_lines.Append(l);
    }
    return n;
  }
  std::uint32_t View(const std::string& owner, const std::string& name, const std::string& text,
                     const std::vector<std::string>& columns) {
    const std::uint32_t n = Object(ObjectKind::kView, owner, name);
    cat.view_texts.Append(ViewTextRecord{n, text, static_cast<std::uint32_t>(columns.size())});
    for (std::size_t i = 0; i < columns.size(); ++i) {
      ColumnInfo col;
      col.object_number = n;
      col.column_number = static_cast<std::uint32_t>(i + 1);
      col.name = columns[i];
      cat.columns.Append(col);
    }
    return n;
  }
  std::uint32_t Synonym(const std::string& owner, const std::string& name, const std::string& target_owner,
                        const std::string& target, const std::string& link = "") {
    const std::uint32_t n = Object(ObjectKind::kSynonym, owner, name);
    cat.synonyms.Append(SynonymRecord{n, link, target_owner, target});
    return n;
  }
  std::uint32_t Sequence(const std::string& owner, const std::string& name, SequenceRecord s) {
    s.object_number = Object(ObjectKind::kSequence, owner, name);
    cat.sequences.Append(s);
    return s.object_number;
  }
  std::uint32_t Trigger(const std::string& owner, const std::string& name, TriggerRecord t) {
    t.object_number = Object(ObjectKind::kTrigger, owner, name);
    cat.triggers.Append(t);
    return t.object_number;
  }
  std::uint32_t User(const std::string& name) {
    UserRecord u;
    u.name = name;
    u.number = next_user_++;
    cat.users.Append(u);
    return u.number;
  }

 private:
  std::uint32_t next_object_ = 70001;
  std::uint32_t next_user_ = 90;
};

}  // namespace quillon::test
