#include "repair/code_ddl.h"

#include <algorithm>
#include <map>
#include <set>
#include <vector>

#include "reader/catalogue_view_security.h"
#include "repair/quoting.h"
#include "repair/system_schemas.h"

namespace quillon::repair {

namespace {

bool IsWordChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '$' ||
         c == '#' || static_cast<unsigned char>(c) >= 0x80;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

std::size_t SkipBlanks(std::string_view text, std::size_t pos) {
  while (pos < text.size() && IsBlank(text[pos])) ++pos;
  return pos;
}

// Whether the word (upper case) stands at pos as a whole word.
bool WordAt(std::string_view text, std::size_t pos, std::string_view word) {
  if (pos + word.size() > text.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i) {
    if (Upper(text[pos + i]) != word[i]) return false;
  }
  return pos + word.size() == text.size() || !IsWordChar(text[pos + word.size()]);
}

bool Included(const ObjectRecord& o, std::optional<std::uint32_t> only) {
  if (only && o.object_number != *only) return false;
  return o.owner != "SYS";
}

StatementNote NoteFor(std::string_view phase, std::string_view label, const ObjectRecord& o) {
  return StatementNote{std::string(phase), std::string(label) + " " + o.owner + "." + o.name, IsBuiltinUser(o.owner)};
}

// A decimal number as the catalogue writes one: sign, digits, a fraction,
// an exponent. Anything else is not put into a statement.
bool IsNumberText(std::string_view s) {
  std::size_t i = 0;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) ++i;
  const std::size_t digits = i;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i;
  }
  if (i == digits || (i == digits + 1 && s[digits] == '.')) return false;
  if (i < s.size() && (s[i] == 'E' || s[i] == 'e')) {
    ++i;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) ++i;
    const std::size_t exp = i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i;
    if (i == exp) return false;
  }
  return i == s.size();
}

// A number text as a plain literal: no leading zeros ("0221" is 221, "-01"
// is -1), no fraction of zeros ("0.0000" is 0). Only for IsNumberText texts.
std::string PlainNumber(std::string_view s) {
  std::string sign;
  if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
    if (s.front() == '-') sign = "-";
    s.remove_prefix(1);
  }
  std::string_view exponent;
  if (const std::size_t e = s.find_first_of("Ee"); e != std::string_view::npos) {
    exponent = s.substr(e);
    s = s.substr(0, e);
  }
  std::string_view whole = s.substr(0, std::min(s.find('.'), s.size()));
  std::string_view fraction = whole.size() < s.size() ? s.substr(whole.size() + 1) : std::string_view();
  while (whole.size() > 1 && whole.front() == '0') whole.remove_prefix(1);
  while (!fraction.empty() && fraction.back() == '0') fraction.remove_suffix(1);
  std::string out(whole.empty() ? "0" : whole);
  if (!fraction.empty()) out += "." + std::string(fraction);
  out += exponent;
  if (out == "0") return out;
  return sign + out;
}

bool IsZeroText(std::string_view s) {
  if (!IsNumberText(s)) return false;
  for (const char c : s) {
    if (c >= '1' && c <= '9') return false;
    if (c == 'E' || c == 'e') break;
  }
  return true;
}

// The text without its trailing blanks and line ends.
std::string WithoutTrailingBlanks(std::string_view s) {
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return std::string(s);
}

struct UnitKind {
  ObjectKind kind;
  std::string_view keyword;
  std::string_view label;
  std::string_view phase;
  std::string_view query_file;  // empty: none
};

constexpr UnitKind kFunction{ObjectKind::kFunction, "FUNCTION", "Function", kPhaseFunction, kQueryOfFunction};
constexpr UnitKind kProcedure{ObjectKind::kProcedure, "PROCEDURE", "Procedure", kPhaseProcedure, kQueryOfProcedure};
constexpr UnitKind kPackage{ObjectKind::kPackage, "PACKAGE", "Package", kPhasePackage, kQueryOfPackage};
constexpr UnitKind kPackageBody{ObjectKind::kPackageBody, "PACKAGE BODY", "Package body", kPhasePackageBody,
                                kQueryOfPackageBody};
constexpr UnitKind kType{ObjectKind::kType, "TYPE", "Type", kPhaseType, {}};
constexpr UnitKind kTypeBody{ObjectKind::kTypeBody, "TYPE BODY", "Type body", kPhaseTypeBody, {}};

void CreateUnit(const Catalogue& c, const UnitKind& kind, const ObjectRecord& o, StatementSink& sink) {
  const StatementNote note = NoteFor(kind.phase, kind.label, o);
  const std::string source = SourceText(c, o.object_number);
  if (source.find_first_not_of(" \t\r\n") == std::string::npos) {
    sink.Skipped(note, "its source lines are not in the dictionary");
    return;
  }
  const Quoted owner = QuoteIdent(o.owner);
  if (!owner) {
    sink.Skipped(note, owner.reason());
    return;
  }
  const std::optional<std::string> text = SourceWithOwner(source, kind.keyword, owner.text());
  if (!text) {
    // Without its owner the unit would be created in the repair's own
    // schema: left out rather than put in the wrong place.
    sink.Skipped(note, "its source does not begin with " + std::string(kind.keyword));
    return;
  }
  SqlBuilder sql;
  sql.Raw("CREATE ").Raw(WithoutTrailingBlanks(*text));
  Statement s = sql.Build(note, StatementKind::kPlsqlUnit);
  if (!IsSystemSchema(o.owner)) s.query_file = std::string(kind.query_file);
  s.retry_when_failed = true;
  sink.Accept(s);
}

void CreateUnits(const Catalogue& c, const UnitKind& kind, StatementSink& sink, std::optional<std::uint32_t> only) {
  for (const ObjectRecord& o : c.ObjectsOfKind(kind.kind)) {
    if (Included(o, only)) CreateUnit(c, kind, o, sink);
  }
}

// The words of a text in upper case.
std::set<std::string, std::less<>> WordsOf(std::string_view text) {
  std::set<std::string, std::less<>> words;
  std::size_t i = 0;
  while (i < text.size()) {
    if (!IsWordChar(text[i])) {
      ++i;
      continue;
    }
    std::string word;
    while (i < text.size() && IsWordChar(text[i])) word += Upper(text[i++]);
    words.insert(std::move(word));
  }
  return words;
}

}  // namespace

std::size_t NameEnd(std::string_view text, std::size_t pos) {
  if (pos >= text.size()) return std::string_view::npos;
  if (text[pos] == '"') {
    const std::size_t close = text.find('"', pos + 1);
    return close == std::string_view::npos || close == pos + 1 ? std::string_view::npos : close + 1;
  }
  std::size_t end = pos;
  while (end < text.size() && IsWordChar(text[end])) ++end;
  return end == pos ? std::string_view::npos : end;
}

std::optional<std::string> SourceWithOwner(std::string_view source, std::string_view keyword,
                                           std::string_view quoted_owner) {
  std::size_t pos = SkipBlanks(source, 0);
  std::size_t start = 0;
  while (start < keyword.size()) {
    const std::size_t blank = std::min(keyword.find(' ', start), keyword.size());
    const std::string_view word = keyword.substr(start, blank - start);
    if (!WordAt(source, pos, word)) return std::nullopt;
    pos += word.size();
    const std::size_t after = SkipBlanks(source, pos);
    if (blank < keyword.size() && after == pos) return std::nullopt;
    pos = after;
    start = blank + 1;
  }
  if (pos == SkipBlanks(source, 0)) return std::nullopt;
  // "TYPE" and "PACKAGE" alone do not open a body.
  if (keyword.find(' ') == std::string_view::npos && WordAt(source, pos, "BODY") &&
      NameEnd(source, SkipBlanks(source, pos + 4)) != std::string_view::npos) {
    return std::nullopt;
  }
  const std::size_t name_start = pos;
  const std::size_t name_end = NameEnd(source, name_start);
  if (name_end == std::string_view::npos) return std::nullopt;
  const std::size_t dot = SkipBlanks(source, name_end);
  std::string out(source.substr(0, name_start));
  out += quoted_owner;
  if (dot < source.size() && source[dot] == '.') {
    // Already qualified: the dictionary's owner takes the qualifier's place.
    out += source.substr(dot);
  } else {
    out += '.';
    out += source.substr(name_start);
  }
  return out;
}

std::string SourceText(const Catalogue& c, std::uint32_t object_number) {
  std::map<std::uint32_t, const SourceLineRecord*> lines;
  for (const SourceLineRecord& l : c.source_lines.All<0>(object_number)) lines.emplace(l.line, &l);
  std::string out;
  for (const auto& [number, line] : lines) {
    if (!out.empty() && out.back() != '\n') out += '\n';
    out += line->text;
  }
  return out;
}

void CreateSynonyms(const Catalogue& c, StatementSink& sink, std::optional<std::uint32_t> only) {
  for (const ObjectRecord& o : c.ObjectsOfKind(ObjectKind::kSynonym)) {
    if (!Included(o, only)) continue;
    const StatementNote note = NoteFor(kPhaseSynonym, "Synonym", o);
    const SynonymRecord* syn = c.synonyms.First<0>(o.object_number);
    if (syn == nullptr) {
      sink.Skipped(note, "its SYN$ row is not in the dictionary");
      continue;
    }
    SqlBuilder sql;
    if (o.owner == "PUBLIC") {
      // PUBLIC is not a schema: a public synonym has no owner in its name.
      sql.Raw("CREATE PUBLIC SYNONYM ").Ident(o.name);
    } else {
      sql.Raw("CREATE SYNONYM ").Ident(o.owner).Raw(".").Ident(o.name);
    }
    sql.Raw("\n FOR ");
    if (!syn->target_owner.empty()) sql.Ident(syn->target_owner).Raw(".");
    sql.Ident(syn->target_name);
    if (!syn->link.empty()) sql.Raw("@").Link(syn->link);
    Emit(sink, sql, note);
  }
}

void CreateSequences(const Catalogue& c, StatementSink& sink, std::optional<std::uint32_t> only) {
  for (const ObjectRecord& o : c.ObjectsOfKind(ObjectKind::kSequence)) {
    if (!Included(o, only)) continue;
    const StatementNote note = NoteFor(kPhaseSequence, "Sequence", o);
    const SequenceRecord* seq = c.sequences.First<0>(o.object_number);
    if (seq == nullptr) {
      sink.Skipped(note, "its SEQ$ row is not in the dictionary");
      continue;
    }
    const bool no_min = seq->min_value == kNullMinValueText;
    const bool no_max = seq->max_value == kNullMaxValueText;
    const std::string* bad = nullptr;
    for (const std::string* number : {&seq->increment, &seq->high_water, &seq->cache}) {
      if (bad == nullptr && !IsNumberText(*number)) bad = number;
    }
    if (bad != nullptr) {
      sink.Skipped(note, "its number " + PrintableName(*bad) + " is not a number");
      continue;
    }
    if ((!no_min && !IsNumberText(seq->min_value)) || (!no_max && !IsNumberText(seq->max_value))) {
      sink.Skipped(note, "its MINVALUE or MAXVALUE is not a number");
      continue;
    }
    SqlBuilder sql;
    sql.Raw("CREATE SEQUENCE ").Ident(o.owner).Raw(".").Ident(o.name);
    sql.Raw("\n INCREMENT BY ").Raw(PlainNumber(seq->increment)).Raw(" START WITH ").Raw(PlainNumber(seq->high_water));
    // A NULL bound is no bound at all.
    sql.Raw(no_max ? " NOMAXVALUE" : " MAXVALUE " + PlainNumber(seq->max_value));
    sql.Raw(no_min ? " NOMINVALUE" : " MINVALUE " + PlainNumber(seq->min_value));
    sql.Raw("\n");
    sql.Raw(IsZeroText(seq->cache) ? " NOCACHE" : " CACHE " + PlainNumber(seq->cache));
    sql.Raw(seq->cycles ? " CYCLE" : " NOCYCLE");
    sql.Raw(seq->ordered ? " ORDER" : " NOORDER");
    Emit(sink, sql, note);
  }
}

void CreateViews(const Catalogue& c, StatementSink& sink, std::optional<std::uint32_t> only) {
  for (const ObjectRecord& o : c.ObjectsOfKind(ObjectKind::kView)) {
    if (!Included(o, only)) continue;
    const StatementNote note = NoteFor(kPhaseView, "View", o);
    const ViewTextRecord* view = c.view_texts.First<0>(o.object_number);
    if (view == nullptr || view->text.find_first_not_of(" \t\r\n") == std::string::npos) {
      sink.Skipped(note, "its query text is not in the dictionary");
      continue;
    }
    SqlBuilder sql;
    sql.Raw("CREATE VIEW ").Ident(o.owner).Raw(".").Ident(o.name);
    if (const TypedViewRecord* typed = c.typed_views.First<0>(o.object_number)) {
      sql.Raw(" OF ").Ident(typed->type_owner).Raw(".").Ident(typed->type_name);
      sql.Raw(" WITH OBJECT IDENTIFIER ");
      // OIDTEXT is the attribute list as written: unquoted names stand for
      // their upper-case form, DEFAULT for the object table's own OIDs.
      std::vector<std::string> attributes;
      std::string_view rest = typed->oid_text;
      while (!rest.empty()) {
        const std::size_t comma = std::min(rest.find(','), rest.size());
        std::string_view part = rest.substr(0, comma);
        while (!part.empty() && IsBlank(part.front())) part.remove_prefix(1);
        while (!part.empty() && IsBlank(part.back())) part.remove_suffix(1);
        if (part.size() >= 2 && part.front() == '"' && part.back() == '"') {
          attributes.emplace_back(part.substr(1, part.size() - 2));
        } else {
          std::string name;
          for (const char ch : part) name += Upper(ch);
          attributes.push_back(name);
        }
        rest = comma < rest.size() ? rest.substr(comma + 1) : std::string_view();
      }
      if (attributes.empty() || (attributes.size() == 1 && attributes[0] == "DEFAULT")) {
        sql.Raw("DEFAULT");
      } else {
        sql.Raw("(");
        for (std::size_t i = 0; i < attributes.size(); ++i) sql.Raw(i ? ", " : "").Ident(attributes[i]);
        sql.Raw(")");
      }
    } else {
      std::map<std::uint32_t, const ColumnInfo*> columns;
      for (const ColumnInfo& col : c.columns.All<0>(o.object_number)) {
        if (col.column_number != 0) columns.emplace(col.column_number, &col);
      }
      if (!columns.empty()) {
        sql.Raw("\n\t(");
        bool first = true;
        for (const auto& [number, col] : columns) {
          sql.Raw(first ? "\n\t\t" : ",\n\t\t").Ident(col->name);
          first = false;
        }
        sql.Raw("\n\t)");
      }
    }
    sql.Raw("\n  AS ").Raw(WithoutTrailingBlanks(view->text));
    if (!sql.ok()) {
      sink.Skipped(note, sql.reason());
      continue;
    }
    Statement s = sql.Build(note);
    if (!IsSystemSchema(o.owner)) s.query_file = std::string(kQueryOfView);
    s.retry_when_failed = true;
    sink.Accept(s);
  }
}

void CreateFunctions(const Catalogue& c, StatementSink& sink, std::optional<std::uint32_t> only) {
  CreateUnits(c, kFunction, sink, only);
}
void CreateProcedures(const Catalogue& c, StatementSink& sink, std::optional<std::uint32_t> only) {
  CreateUnits(c, kProcedure, sink, only);
}
void CreatePackages(const Catalogue& c, StatementSink& sink, std::optional<std::uint32_t> only) {
  CreateUnits(c, kPackage, sink, only);
}
void CreatePackageBodies(const Catalogue& c, StatementSink& sink, std::optional<std::uint32_t> only) {
  CreateUnits(c, kPackageBody, sink, only);
}
void CreateTypeBodies(const Catalogue& c, StatementSink& sink, std::optional<std::uint32_t> only) {
  CreateUnits(c, kTypeBody, sink, only);
}

void CreateTypes(const Catalogue& c, StatementSink& sink, std::optional<std::uint32_t> only) {
  std::vector<const ObjectRecord*> types;
  std::vector<std::set<std::string, std::less<>>> words;
  for (const ObjectRecord& o : c.ObjectsOfKind(ObjectKind::kType)) {
    if (!Included(o, only)) continue;
    types.push_back(&o);
    words.push_back(WordsOf(SourceText(c, o.object_number)));
  }
  // A type comes after every other type whose name its source holds (an
  // attribute, element or supertype); types that name each other keep
  // their catalogue order.
  const std::size_t n = types.size();
  std::map<std::string, std::vector<std::size_t>, std::less<>> by_name;
  for (std::size_t b = 0; b < n; ++b) by_name[types[b]->name].push_back(b);
  std::vector<std::vector<std::size_t>> needed_by(n);
  std::vector<std::size_t> waiting(n, 0);
  for (std::size_t a = 0; a < n; ++a) {
    for (const std::string& word : words[a]) {
      if (word == types[a]->name) continue;
      const auto it = by_name.find(word);
      if (it == by_name.end()) continue;
      for (const std::size_t b : it->second) {
        needed_by[b].push_back(a);
        ++waiting[a];
      }
    }
  }
  std::set<std::size_t> ready;
  for (std::size_t a = 0; a < n; ++a) {
    if (waiting[a] == 0) ready.insert(a);
  }
  std::vector<bool> done(n, false);
  std::vector<std::size_t> order;
  while (order.size() < n) {
    std::size_t next = 0;
    if (!ready.empty()) {
      next = *ready.begin();
      ready.erase(ready.begin());
    } else {
      // A cycle: the first type left goes next.
      while (done[next]) ++next;
    }
    if (done[next]) continue;
    done[next] = true;
    order.push_back(next);
    for (const std::size_t a : needed_by[next]) {
      if (waiting[a] > 0 && --waiting[a] == 0 && !done[a]) ready.insert(a);
    }
  }
  for (const std::size_t a : order) CreateUnit(c, kType, *types[a], sink);
}

}  // namespace quillon::repair
