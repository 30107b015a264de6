#include "reader/json_writer.h"

#include <cstdio>

namespace quillon {

std::string JsonQuote(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 2);
  AppendJsonQuoted(out, text);
  return out;
}

void AppendJsonQuoted(std::string& out, std::string_view text) {
  out.push_back('"');
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\b': out += "\\b"; break;
      case '\f': out += "\\f"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", c);
          out += buf;
        } else {
          out.push_back(ch);
        }
    }
  }
  out.push_back('"');
}

void JsonWriter::Newline() {
  if (!pretty_) return;
  out_.push_back('\n');
  out_.append(stack_.size() * 2, ' ');
}

void JsonWriter::BeforeValue() {
  if (after_key_) {
    after_key_ = false;
    return;
  }
  if (!stack_.empty()) {
    if (stack_.back().has_members) out_.push_back(',');
    stack_.back().has_members = true;
    Newline();
  }
}

JsonWriter& JsonWriter::BeginObject() {
  BeforeValue();
  out_.push_back('{');
  stack_.push_back({true, false});
  return *this;
}

JsonWriter& JsonWriter::EndObject() {
  const bool had = !stack_.empty() && stack_.back().has_members;
  if (!stack_.empty()) stack_.pop_back();
  if (had) Newline();
  out_.push_back('}');
  return *this;
}

JsonWriter& JsonWriter::BeginArray() {
  BeforeValue();
  out_.push_back('[');
  stack_.push_back({false, false});
  return *this;
}

JsonWriter& JsonWriter::EndArray() {
  const bool had = !stack_.empty() && stack_.back().has_members;
  if (!stack_.empty()) stack_.pop_back();
  if (had) Newline();
  out_.push_back(']');
  return *this;
}

JsonWriter& JsonWriter::Key(std::string_view key) {
  if (!stack_.empty()) {
    if (stack_.back().has_members) out_.push_back(',');
    stack_.back().has_members = true;
    Newline();
  }
  out_ += JsonQuote(key);
  out_ += pretty_ ? ": " : ":";
  after_key_ = true;
  return *this;
}

JsonWriter& JsonWriter::String(std::string_view value) {
  BeforeValue();
  out_ += JsonQuote(value);
  return *this;
}

JsonWriter& JsonWriter::Int(std::int64_t value) {
  BeforeValue();
  out_ += std::to_string(value);
  return *this;
}

JsonWriter& JsonWriter::UInt(std::uint64_t value) {
  BeforeValue();
  out_ += std::to_string(value);
  return *this;
}

JsonWriter& JsonWriter::Bool(bool value) {
  BeforeValue();
  out_ += value ? "true" : "false";
  return *this;
}

JsonWriter& JsonWriter::Null() {
  BeforeValue();
  out_ += "null";
  return *this;
}

JsonWriter& JsonWriter::OptionalString(const std::optional<std::string>& value) {
  return value ? String(*value) : Null();
}

}  // namespace quillon
