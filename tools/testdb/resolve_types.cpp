// Object types and stored code: their objects, type identifiers and source
// lines.
#include "testdb/resolver.h"

namespace quillon::testdb {

namespace {

// A type identifier as Oracle's look: sixteen bytes that do not repeat
// between types (they mix the object number, so they are stable).
Bytes TypeIdentifier(std::uint32_t object) {
  Bytes toid(16);
  std::uint64_t x = 0x9E3779B97F4A7C15ull ^ (std::uint64_t{object} * 0xBF58476D1CE4E5B9ull);
  for (int i = 0; i < 16; ++i) {
    x ^= x >> 29;
    x *= 0x94D049BB133111EBull;
    toid[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(x >> 56);
  }
  return toid;
}

std::uint32_t Typecode(TypeKind kind) {
  switch (kind) {
    case TypeKind::kObject: return 108;
    case TypeKind::kNestedTable: return 122;
    case TypeKind::kVarray: return 247;
  }
  return 108;
}

struct CodeObject {
  std::uint32_t name_space;
  std::uint32_t type;
};

CodeObject CodeObjectOf(CodeKind kind) {
  switch (kind) {
    case CodeKind::kProcedure: return {obj::kNsTable, obj::kProcedure};
    case CodeKind::kFunction: return {obj::kNsTable, obj::kFunction};
    case CodeKind::kPackage: return {obj::kNsTable, obj::kPackage};
    case CodeKind::kPackageBody: return {obj::kNsBody, obj::kPackageBody};
    case CodeKind::kTypeBody: return {obj::kNsBody, obj::kTypeBody};
  }
  return {obj::kNsTable, obj::kProcedure};
}

}  // namespace

void Resolver::Types() {
  for (const TypeDescription& wanted : schema_.types) {
    const auto check = [&](const ColumnType& t) {
      const bool user = t.type == SqlType::kObject || t.type == SqlType::kRef || t.type == SqlType::kNestedTable ||
                        t.type == SqlType::kVarray;
      if (user) ResolvedType(t.type_owner, t.type_name);  // defined before this type
    };
    for (const auto& a : wanted.attributes) check(a.type);
    if (wanted.kind != TypeKind::kObject) check(wanted.element);
    RType t;
    t.object = NextObject();
    t.owner = wanted.owner;
    t.name = wanted.name;
    t.toid = TypeIdentifier(t.object);
    t.typecode = Typecode(wanted.kind);
    t.wanted = &wanted;
    AddObject(t.object, UserNumber(wanted.owner), wanted.name, obj::kNsTable, obj::kType).oid = t.toid;
    std::uint32_t line = 1;
    for (const auto& text : wanted.lines) r_.source_lines.push_back({t.object, line++, text});
    r_.types.push_back(std::move(t));
  }
}

void Resolver::Code() {
  for (const CodeDescription& wanted : schema_.code) {
    const CodeObject kind = CodeObjectOf(wanted.kind);
    const std::uint32_t object = NextObject();
    AddObject(object, UserNumber(wanted.owner), wanted.name, kind.name_space, kind.type);
    std::uint32_t line = 1;
    for (const auto& text : wanted.lines) r_.source_lines.push_back({object, line++, text});
  }
}

}  // namespace quillon::testdb
