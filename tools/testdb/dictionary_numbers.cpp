#include "testdb/dictionary_numbers.h"

#include <algorithm>
#include <array>
#include <set>
#include <vector>

namespace quillon::testdb {

namespace {

// Data object numbers of the dictionary segments of a fresh database of each
// release (columns 9: 8i and 9i, 16: 10g, 17: 11g R1, 18: 11g R2) and the
// alternative 11g R2 numbering.
constexpr std::array<SystemSegmentNumbers, 31> kSystemSegments = {{
    {"C_OBJ#", 2, 2, 2, 2, 0, false},
    {"C_TS#", 6, 6, 6, 6, 0, false},
    {"C_USER#", 10, 10, 10, 10, 0, false},
    {"C_COBJ#", 29, 29, 29, 29, 0, false},
    {"OBJ$", 18, 18, 18, 18, 0, false},
    {"CON$", 28, 28, 28, 28, 0, false},
    {"SYN$", 61, 62, 68, 68, 0, false},
    {"SEQ$", 67, 68, 74, 74, 0, false},
    {"TRIGGER$", 82, 81, 157, 160, 159, false},
    {"SOURCE$", 71, 72, 216, 224, 223, false},
    {"TYPED_VIEW$", 63, 64, 70, 70, 0, false},
    {"OBJAUTH$", 90, 57, 61, 61, 0, false},
    {"SYSAUTH$", 91, 87, 118, 118, 0, false},
    {"SYSTEM_PRIVILEGE_MAP", 270, 311, 357, 365, 364, false},
    {"TABLE_PRIVILEGE_MAP", 273, 314, 360, 368, 367, false},
    {"LINK$", 99, 94, 132, 134, 0, false},
    {"SUM$", 387, 393, 910, 997, 951, true},
    {"MLOG_REFCOL$", 186, 222, 635, 641, 649, false},
    {"SNAP$", 178, 212, 625, 631, 639, false},
    {"C_TOID_VERSION#", 296, 181, 490, 495, 503, false},
    {"C_MLOG#", 168, 163, 620, 625, 633, false},
    {"VIEW$", 62, 63, 69, 69, 0, false},
    {"PARTOBJ$", 226, 262, 559, 564, 572, false},
    {"PARTCOL$", 228, 264, 561, 566, 574, false},
    {"TABPART$", 230, 266, 563, 568, 576, false},
    {"SUBPARTCOL$", 238, 276, 573, 578, 586, false},
    {"TABSUBPART$", 240, 278, 575, 580, 588, false},
    {"TABCOMPART$", 249, 288, 585, 590, 598, false},
    {"LOBFRAG$", 258, 299, 596, 601, 609, false},
    {"LOBCOMPPART$", 261, 302, 599, 604, 612, false},
    {"INDPART$", 234, 271, 568, 573, 581, false},
}};

constexpr std::array<XmlTableNumbers, 8> kXmlTables = {{
    {37, "XDB$COMPLEX_TYPE", 26962, 41501, 54624, 57019, 56054},
    {38, "XDB$SIMPLE_TYPE", 26820, 41359, 54482, 57042, 55912},
    {39, "XDB$ELEMENT", 27150, 41789, 54912, 57307, 56342},
    {40, "XDB$ALL_MODEL", 27080, 41719, 54842, 57237, 56272},
    {41, "XDB$CHOICE_MODEL", 27104, 41743, 54866, 57261, 56296},
    {42, "XDB$SCHEMA", 27304, 41944, 55062, 57465, 56500},
    {43, "XDB$SEQUENCE_MODEL", 27128, 41767, 54890, 57285, 56320},
    {44, "XDB$ATTRIBUTE", 27254, 41893, 55016, 57411, 56446},
}};

// Objects created by the bootstrap, numbered in creation order; the same in
// every release.
struct Bootstrap {
  std::string_view name;
  std::uint32_t number;
};
constexpr std::array<Bootstrap, 17> kBootstrap = {{
    {"C_OBJ#", 2}, {"TAB$", 4}, {"CLU$", 5}, {"C_TS#", 6}, {"C_USER#", 10}, {"FET$", 12}, {"TS$", 16},
    {"FILE$", 17}, {"OBJ$", 18}, {"IND$", 19}, {"ICOL$", 20}, {"COL$", 21}, {"USER$", 22}, {"CON$", 28},
    {"C_COBJ#", 29}, {"CDEF$", 31}, {"CCOL$", 32},
}};

// The dictionary objects without a number above, in the order the generator
// numbers them, from kFirstFreeNumber on, skipping every number of the tables.
constexpr std::array<std::string_view, 35> kNumbered = {
    "TSQ$", "PROPS$", "LOB$", "COLTYPE$", "SUBCOLTYPE$", "NTAB$", "REFCON$", "OPQTYPE$", "ICOLDEP$",
    "VIEWTRCOL$", "LIBRARY$", "ASSEMBLY$", "ATTRCOL$", "TYPE_MISC$", "TYPE$", "COLLECTION$", "ATTRIBUTE$",
    "METHOD$", "PARAMETER$", "RESULT$", "MLOG$", "SLOG$",
    // The built-in types that attributes and collection elements name.
    "VARCHAR2", "NUMBER", "DATE", "CHAR", "RAW", "CLOB", "BLOB", "TIMESTAMP", "NVARCHAR2", "FLOAT",
    "INTEGER", "XMLTYPE", "BINARY_DOUBLE"};
constexpr std::uint32_t kFirstFreeNumber = 100;

int Column(int release_code) { return release_code <= 9 ? 9 : release_code; }

template <typename Row>
std::uint32_t Pick(const Row& row, const Numbering& n) {
  switch (Column(n.release_code)) {
    case 9: return row.release9;
    case 16: return row.release16;
    case 17: return row.release17;
    default: return n.alternative && row.alternative != 0 ? row.alternative : row.release18;
  }
}

}  // namespace

std::span<const SystemSegmentNumbers> SystemSegmentTable() { return kSystemSegments; }

std::uint32_t SegmentNumber(const SystemSegmentNumbers& segment, const Numbering& numbering) {
  return Pick(segment, numbering);
}

std::span<const XmlTableNumbers> XmlTableTable() { return kXmlTables; }

std::uint32_t XmlTableNumber(const XmlTableNumbers& table, const Numbering& numbering) {
  return Pick(table, numbering);
}

std::optional<std::uint32_t> SysObjectNumber(std::string_view name, const Numbering& numbering) {
  for (const auto& b : kBootstrap) {
    if (b.name == name) return b.number;
  }
  for (const auto& s : kSystemSegments) {
    if (s.name == name) return SegmentNumber(s, numbering);
  }
  for (const auto& x : kXmlTables) {
    if (x.name == name) return XmlTableNumber(x, numbering);
  }
  const auto it = std::find(kNumbered.begin(), kNumbered.end(), name);
  if (it == kNumbered.end()) return std::nullopt;
  // Every number the tables use in any column of this release, so that no
  // object of ours takes the number of a segment the reader looks for.
  std::set<std::uint32_t> used;
  for (const auto& b : kBootstrap) used.insert(b.number);
  const int c = Column(numbering.release_code);
  for (const auto& s : kSystemSegments) {
    used.insert(c == 9 ? s.release9 : c == 16 ? s.release16 : c == 17 ? s.release17 : s.release18);
    if (c == 18) used.insert(s.alternative);
  }
  std::uint32_t number = kFirstFreeNumber;
  for (auto i = kNumbered.begin();; ++i) {
    while (used.count(number)) ++number;
    if (i == it) return number;
    ++number;
  }
}

}  // namespace quillon::testdb
