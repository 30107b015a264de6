#include <gtest/gtest.h>

#include "reader/datafile.h"
#include "reader/release.h"
#include "testdb/block_writer.h"

namespace quillon {
namespace {

using testdb::Bytes;

TEST(Release, HeaderValuesMapToReleases) {
  struct Case {
    std::uint8_t format_byte;
    std::uint16_t value;
    int code;
    const char* text;
  };
  const Case cases[] = {
      {0xA2, 0x0B20, 18, "11g Release 2"}, {0xA2, 0x0B10, 17, "11g Release 1"},
      {0xA2, 0x0A20, 16, "10g "},          {0xA2, 0x0A10, 16, ""},
      {0x62, 0x0B20, 18, "11g Release 2"}, {0xE2, 0x0A20, 16, "10g "},
      {0x02, 8, 8, "8i"},                  {0x02, 9, 9, "9i"},
      {0x02, 7, 9, ""},                    {0x42, 0x0B20, 0, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    const Release r = ReleaseFromHeader(ClassifyHeaderFormat(c.format_byte), c.value);
    EXPECT_EQ(r.code, c.code);
    EXPECT_EQ(r.text, c.text);
  }
}

TEST(Release, EveryBlockSizeHasItsModernFormatByte) {
  const std::pair<std::uint32_t, std::uint8_t> cases[] = {
      {2048, 0x62}, {4096, 0x82}, {8192, 0xA2}, {16384, 0xC2}, {32768, 0xE2}};
  for (const auto& [size, byte] : cases) {
    EXPECT_EQ(ModernFormatByte(size), byte);
    EXPECT_EQ(ClassifyHeaderFormat(byte), HeaderFormat::kModern);
  }
  EXPECT_EQ(ClassifyHeaderFormat(0x02), HeaderFormat::kLegacy);
  EXPECT_EQ(ClassifyHeaderFormat(0x01), HeaderFormat::kUnknown);
}

Bytes FileHead(std::uint32_t block_size, std::uint16_t candidate, std::size_t header_at, std::size_t size) {
  Bytes b(size, 0);
  b[4] = static_cast<std::uint8_t>(candidate);
  b[5] = static_cast<std::uint8_t>(candidate >> 8);
  if (header_at < size) b[header_at] = 0x0B;
  (void)block_size;
  return b;
}

TEST(ProbeBlockSize, CandidateThenStepsThenUnconfirmed) {
  struct Case {
    const char* what;
    std::uint16_t candidate;
    std::size_t header_at;
    std::uint16_t expected;
  };
  const Case cases[] = {
      {"candidate confirmed", 8192, 8192, 8192},
      {"32 KB candidate beyond the probe steps", 32768, 32768, 32768},
      {"wrong candidate, header found at a step", 4096, 8192, 8192},
      {"wrong candidate, 2 KB header", 0, 2048, 2048},
      {"header beyond 16384 keeps the candidate", 4096, 20480, 4096},
      {"nothing found keeps the candidate", 16384, 70000, 16384},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const Bytes head = FileHead(0, c.candidate, c.header_at, 65537);
    EXPECT_EQ(ProbeBlockSize(ByteView(head.data(), head.size()), c.candidate), c.expected);
  }
  // A file shorter than the probe window is probed as far as it goes.
  const Bytes tiny = FileHead(0, 8192, 1024, 1500);
  EXPECT_EQ(ProbeBlockSize(ByteView(tiny.data(), tiny.size()), 8192), 1024);
}

TEST(FileHeader, BothFormatsDecode) {
  struct Case {
    std::uint8_t format_byte;
    std::uint16_t compatibility;
    std::uint8_t major;
    HeaderFormat format;
  };
  const Case cases[] = {{0xA2, 0x0B20, 0, HeaderFormat::kModern},
                        {0xC2, 0x0A20, 0, HeaderFormat::kModern},
                        {0x02, 0, 9, HeaderFormat::kLegacy}};
  for (const auto& c : cases) {
    Bytes block(8192, 0);
    testdb::FileHeaderDescription wanted;
    wanted.format_byte = c.format_byte;
    wanted.compatibility_code = c.compatibility;
    wanted.major_release = c.major;
    wanted.relative_file = 4;
    wanted.database_name = "PROD";
    wanted.tablespace_name = "USERS";
    testdb::WriteFileHeaderBlock(block, wanted);
    const auto h = DecodeFileHeader(ByteView(block.data(), block.size()));
    ASSERT_TRUE(h);
    EXPECT_EQ(h->format, c.format);
    EXPECT_EQ(h->database_name, "PROD");
    EXPECT_EQ(h->tablespace_name, "USERS");
    EXPECT_EQ(h->relative_file_number, 4u);
    EXPECT_EQ(h->file_base_dba, 4u << 22);
    EXPECT_NE(h->acceptance, 0u);
    EXPECT_EQ(h->ReleaseValue(), c.format == HeaderFormat::kLegacy ? c.major : c.compatibility);
  }
}

TEST(FileHeader, ShortOrForeignBlocks) {
  Bytes block(8192, 0);
  EXPECT_FALSE(DecodeFileHeader(ByteView(block.data(), block.size())));  // type 0
  block[0] = 0x0B;
  block[1] = 0xA2;
  // A header block cut short keeps what it holds and leaves the rest empty.
  const auto h = DecodeFileHeader(ByteView(block.data(), 40));
  ASSERT_TRUE(h);
  EXPECT_EQ(h->relative_file_number, 0u);
  EXPECT_EQ(h->acceptance, 0u);
}

TEST(DatafileList, ResolvesBlockAddressesByFileBits) {
  DatafileList list;
  DatafileEntry a;
  a.file_base_dba = 1u << 22;
  a.relative_file_number = 1;
  a.tablespace_name = "system";
  a.full_path = "a";
  DatafileEntry b;
  b.file_base_dba = 4u << 22;
  b.relative_file_number = 4;
  b.full_path = "b";
  list.Append(a);
  list.Append(b);
  EXPECT_EQ(list.FindByDba((4u << 22) | 0x3FFFFF)->full_path, "b");
  EXPECT_EQ(list.FindByDba((1u << 22) | 17)->full_path, "a");
  EXPECT_EQ(list.FindByDba(2u << 22), nullptr);
  EXPECT_EQ(list.FindSystem()->full_path, "a");  // tablespace compared without regard to case
  EXPECT_EQ(list.FindByRelativeFile(4)->full_path, "b");
}

}  // namespace
}  // namespace quillon
