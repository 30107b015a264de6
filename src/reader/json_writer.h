// A small streaming JSON writer for the machine-readable outputs
// (--json of the command line, the generator's descriptions).
//
// Objects and arrays are opened and closed explicitly; commas are placed by
// the writer. Strings are written as UTF-8 with the escapes JSON requires.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {

class JsonWriter {
 public:
  // pretty: two-space indentation and one member per line.
  explicit JsonWriter(bool pretty = false) : pretty_(pretty) {}

  JsonWriter& BeginObject();
  JsonWriter& EndObject();
  JsonWriter& BeginArray();
  JsonWriter& EndArray();
  JsonWriter& Key(std::string_view key);

  JsonWriter& String(std::string_view value);
  JsonWriter& Int(std::int64_t value);
  JsonWriter& UInt(std::uint64_t value);
  JsonWriter& Bool(bool value);
  JsonWriter& Null();
  // A string, or null when absent.
  JsonWriter& OptionalString(const std::optional<std::string>& value);

  // Key and value in one call.
  template <typename T>
  JsonWriter& Member(std::string_view key, const T& value) {
    Key(key);
    return Value(value);
  }

  const std::string& str() const { return out_; }
  std::string Take() { return std::move(out_); }

 private:
  JsonWriter& Value(std::string_view v) { return String(v); }
  JsonWriter& Value(const std::string& v) { return String(v); }
  JsonWriter& Value(const char* v) { return String(v); }
  JsonWriter& Value(bool v) { return Bool(v); }
  JsonWriter& Value(int v) { return Int(v); }
  JsonWriter& Value(long v) { return Int(v); }
  JsonWriter& Value(long long v) { return Int(v); }
  JsonWriter& Value(unsigned v) { return UInt(v); }
  JsonWriter& Value(unsigned long v) { return UInt(v); }
  JsonWriter& Value(unsigned long long v) { return UInt(v); }
  JsonWriter& Value(const std::optional<std::string>& v) { return OptionalString(v); }

  void BeforeValue();
  void Newline();

  struct Level {
    bool is_object = false;
    bool has_members = false;
  };
  bool pretty_;
  bool after_key_ = false;
  std::vector<Level> stack_;
  std::string out_;
};

// The JSON string literal of a text (quotes included).
std::string JsonQuote(std::string_view text);
// The same, appended to out.
void AppendJsonQuoted(std::string& out, std::string_view text);

}  // namespace quillon
