#include "reader/charset.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>

#include "reader/unicode.h"

namespace quillon {

namespace {

using S = CharsetScheme;

// Oracle's character set ids and names (as NLS_CHARSET_NAME gives them) with
// the C library's name of the same encoding.
constexpr CharsetInfo kCharsets[] = {
    {charset_id::kUs7Ascii, "US7ASCII", "ASCII", S::kAscii},
    {4, "US8PC437", "CP437", S::kSingleByte},
    {10, "WE8PC850", "CP850", S::kSingleByte},
    {charset_id::kWe8Iso8859P1, "WE8ISO8859P1", "ISO-8859-1", S::kLatin1},
    {32, "EE8ISO8859P2", "ISO-8859-2", S::kSingleByte},
    {35, "CL8ISO8859P5", "ISO-8859-5", S::kSingleByte},
    {37, "EL8ISO8859P7", "ISO-8859-7", S::kSingleByte},
    {39, "WE8ISO8859P9", "ISO-8859-9", S::kSingleByte},
    {41, "TH8TISASCII", "TIS-620", S::kSingleByte},
    {46, "WE8ISO8859P15", "ISO-8859-15", S::kSingleByte},
    {152, "RU8PC866", "CP866", S::kSingleByte},
    {170, "EE8MSWIN1250", "CP1250", S::kSingleByte},
    {171, "CL8MSWIN1251", "CP1251", S::kSingleByte},
    {174, "EL8MSWIN1253", "CP1253", S::kSingleByte},
    {175, "IW8MSWIN1255", "CP1255", S::kSingleByte},
    {177, "TR8MSWIN1254", "CP1254", S::kSingleByte},
    {charset_id::kWe8MsWin1252, "WE8MSWIN1252", "CP1252", S::kSingleByte},
    {179, "BLT8MSWIN1257", "CP1257", S::kSingleByte},
    {196, "CL8KOI8R", "KOI8-R", S::kSingleByte},
    {560, "AR8MSWIN1256", "CP1256", S::kSingleByte},
    {830, "JA16EUC", "EUC-JP", S::kMultiByte},
    {832, "JA16SJIS", "CP932", S::kMultiByte},
    {838, "JA16SJISTILDE", "CP932", S::kMultiByte},
    {840, "KO16KSC5601", "EUC-KR", S::kMultiByte},
    {846, "KO16MSWIN949", "CP949", S::kMultiByte},
    {850, "ZHS16CGB231280", "GB2312", S::kMultiByte},
    {852, "ZHS16GBK", "GBK", S::kMultiByte},
    {854, "ZHS32GB18030", "GB18030", S::kMultiByte},
    {865, "ZHT16BIG5", "BIG5", S::kMultiByte},
    {867, "ZHT16MSWIN950", "CP950", S::kMultiByte},
    {868, "ZHT16HKSCS", "BIG5-HKSCS", S::kMultiByte},
    {charset_id::kUtf8, "UTF8", "", S::kCesu8},
    {charset_id::kAl32Utf8, "AL32UTF8", "", S::kUtf8},
    {charset_id::kAl16Utf16, "AL16UTF16", "", S::kUtf16BE},
};

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto up = [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; };
    if (up(a[i]) != up(b[i])) return false;
  }
  return true;
}

const iconv_t kNoIconv = reinterpret_cast<iconv_t>(-1);
constexpr std::size_t kIconvError = static_cast<std::size_t>(-1);

// Asks iconv for every byte of a single-byte character set on its own.
bool BuildTable(std::string_view iconv_name, std::array<char32_t, 256>& table) {
  const iconv_t cd = iconv_open("UTF-32LE", std::string(iconv_name).c_str());
  if (cd == kNoIconv) return false;
  for (int b = 0; b < 256; ++b) {
    char in = static_cast<char>(b);
    unsigned char out[8] = {};
    char* in_p = &in;
    char* out_p = reinterpret_cast<char*>(out);
    std::size_t in_left = 1, out_left = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    const std::size_t r = iconv(cd, &in_p, &in_left, &out_p, &out_left);
    if (r == kIconvError || in_left != 0 || sizeof out - out_left != 4) {
      table[b] = kReplacementCharacter;
      continue;
    }
    table[b] = static_cast<char32_t>(out[0] | (out[1] << 8) | (out[2] << 16) | (out[3] << 24));
  }
  iconv_close(cd);
  return true;
}

}  // namespace

std::span<const CharsetInfo> KnownCharsets() { return kCharsets; }

const CharsetInfo* FindCharset(std::uint32_t id) {
  for (const auto& c : kCharsets) {
    if (c.id == id) return &c;
  }
  return nullptr;
}

const CharsetInfo* FindCharset(std::string_view name) {
  for (const auto& c : kCharsets) {
    if (EqualNoCase(c.name, name)) return &c;
  }
  return nullptr;
}

const CharsetInfo& DefaultDatabaseCharset() { return *FindCharset(std::uint32_t{charset_id::kWe8MsWin1252}); }
const CharsetInfo& DefaultNationalCharset() { return *FindCharset(std::uint32_t{charset_id::kAl16Utf16}); }

struct CharsetDecoder::Iconv {
  iconv_t cd = kNoIconv;
  ~Iconv() {
    if (cd != kNoIconv) iconv_close(cd);
  }
};

CharsetDecoder::CharsetDecoder(const CharsetInfo& charset) : charset_(&charset) {
  if (charset.scheme == S::kSingleByte) {
    table_ = std::make_unique<std::array<char32_t, 256>>();
    available_ = BuildTable(charset.iconv_name, *table_);
    if (!available_) table_.reset();
  } else if (charset.scheme == S::kMultiByte) {
    iconv_ = std::make_unique<Iconv>();
    iconv_->cd = iconv_open("UTF-8", std::string(charset.iconv_name).c_str());
    available_ = iconv_->cd != kNoIconv;
  }
}

CharsetDecoder::~CharsetDecoder() = default;
CharsetDecoder::CharsetDecoder(CharsetDecoder&&) noexcept = default;
CharsetDecoder& CharsetDecoder::operator=(CharsetDecoder&&) noexcept = default;

std::string CharsetDecoder::ToUtf8(ByteView bytes) const {
  std::string out;
  AppendUtf8(bytes, out);
  return out;
}

void CharsetDecoder::AppendUtf8(ByteView bytes, std::string& out) const {
  switch (charset_->scheme) {
    case S::kUtf8:
      AppendFromUtf8(bytes, out);
      return;
    case S::kCesu8:
      AppendFromCesu8(bytes, out);
      return;
    case S::kUtf16BE:
      AppendFromUtf16BE(bytes, out);
      return;
    default:
      break;
  }
  // The ASCII-compatible sets: most stored text is plain ASCII.
  if (IsAscii(bytes)) {
    out.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return;
  }
  if (charset_->scheme == S::kMultiByte && available_) {
    AppendMultiByte(bytes, out);
    return;
  }
  out.reserve(out.size() + bytes.size() * 2);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const std::uint8_t b = bytes.data()[i];
    if (b < 0x80) {
      out.push_back(static_cast<char>(b));
    } else if (charset_->scheme == S::kLatin1) {
      quillon::AppendUtf8(out, b);
    } else if (table_) {
      quillon::AppendUtf8(out, (*table_)[b]);
    } else {
      quillon::AppendUtf8(out, kReplacementCharacter);
    }
  }
}

void CharsetDecoder::AppendMultiByte(ByteView bytes, std::string& out) const {
  const iconv_t cd = iconv_->cd;
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  char* in = const_cast<char*>(reinterpret_cast<const char*>(bytes.data()));
  std::size_t in_left = bytes.size();
  const std::size_t start = out.size();
  std::size_t used = 0;  // bytes of out written after start
  out.resize(start + bytes.size() * 2 + 16);
  while (in_left > 0) {
    char* out_p = out.data() + start + used;
    std::size_t out_left = out.size() - start - used;
    const std::size_t r = iconv(cd, &in, &in_left, &out_p, &out_left);
    used = static_cast<std::size_t>(out_p - (out.data() + start));
    if (r != kIconvError) break;
    if (errno == E2BIG) {
      out.resize(out.size() * 2 + 16);
      continue;
    }
    // An invalid sequence (EILSEQ) or one cut off at the end (EINVAL): one
    // replacement character for its first byte, then go on after it.
    out.resize(start + used);
    quillon::AppendUtf8(out, kReplacementCharacter);
    used = out.size() - start;
    out.resize(out.size() + in_left * 2 + 16);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    ++in;
    --in_left;
  }
  out.resize(start + used);
}

std::optional<std::string> IconvFromUtf8(std::string_view utf8, std::string_view iconv_name) {
  const iconv_t cd = iconv_open(std::string(iconv_name).c_str(), "UTF-8");
  if (cd == kNoIconv) return std::nullopt;
  std::string out(utf8.size() * 4 + 16, '\0');
  char* in = const_cast<char*>(utf8.data());
  std::size_t in_left = utf8.size();
  char* out_p = out.data();
  std::size_t out_left = out.size();
  std::size_t r = iconv(cd, &in, &in_left, &out_p, &out_left);
  if (r != kIconvError) r = iconv(cd, nullptr, nullptr, &out_p, &out_left);  // shift sequences
  iconv_close(cd);
  // glibc counts characters it replaced instead of failing as irreversible;
  // the generator only wants exact encodings.
  if (r != 0 || in_left != 0) return std::nullopt;
  out.resize(static_cast<std::size_t>(out_p - out.data()));
  return out;
}

}  // namespace quillon
