// Fuzzes the INI profile reader and writer on arbitrary file bytes.
//
// Input layout: FILE [ NUL SECTION \x01 KEY \x01 VALUE \x01 OTHER_KEY \x01 SIZE ].
// The reader stops at a NUL anyway, so the bytes after the last NUL are free
// to choose the call's arguments; fields that are missing take the settings
// file's own section and keys. A plain settings file is thus a useful seed.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "app/ini_profile.h"

namespace {

namespace ini = app::ini;

void Require(bool ok, const char* rule) {
  if (ok) return;
  std::fprintf(stderr, "broken rule: %s\n", rule);
  std::abort();
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
bool IsTrailByte(unsigned char c) { return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC); }

// Text on one line: no control bytes, so no line break and no NUL.
bool OneLine(std::string_view text) {
  for (unsigned char c : text) {
    if (c < 0x20) return false;
  }
  return true;
}

// A section name that can be written as "[name]" and found again: no "]" of
// its own, and no half double-byte character at its end, which would take the
// closing "]" as its second byte (on Windows as well).
bool Bracketable(std::string_view name) {
  for (std::size_t i = 0; i < name.size();) {
    const auto c = static_cast<unsigned char>(name[i]);
    if (c == ']') return false;
    if (!IsLeadByte(c)) {
      ++i;
    } else if (i + 1 == name.size()) {
      return false;
    } else {
      i += IsTrailByte(static_cast<unsigned char>(name[i + 1])) ? 2 : 1;
    }
  }
  return true;
}

char Fold(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool FoldedEqual(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Fold(a[i]) != Fold(b[i])) return false;
  }
  return true;
}

std::string_view StripQuotes(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

struct Call {
  std::string_view file;
  std::string_view section = "Section";
  std::string_view key = "\x92\xE2\x8E\x7E\x8E\x9E\x8A\xD4";
  std::string_view value = " 3";
  std::string_view other_key = "\x94\x77\x8C\x69\x90\x46";
  std::size_t buffer_size = 256;
};

Call Split(std::string_view data) {
  Call call;
  const std::size_t nul = data.rfind('\0');
  call.file = data.substr(0, nul);
  if (nul == std::string_view::npos) return call;
  std::vector<std::string_view> fields;
  std::string_view rest = data.substr(nul + 1);
  for (std::size_t cut; fields.size() < 4 && (cut = rest.find('\x01')) != std::string_view::npos;) {
    fields.push_back(rest.substr(0, cut));
    rest.remove_prefix(cut + 1);
  }
  fields.push_back(rest);
  std::string_view* targets[] = {&call.section, &call.key, &call.value, &call.other_key};
  for (std::size_t i = 0; i < fields.size() && i < 4; ++i) *targets[i] = fields[i];
  if (fields.size() == 5) call.buffer_size = fields[4].size() % 300;
  return call;
}

bool SimpleSection(std::string_view section) {
  const std::string_view name = Trim(section);
  return OneLine(name) && Bracketable(name);
}

bool SimpleKey(std::string_view key) {
  const std::string_view name = Trim(key);
  return !name.empty() && OneLine(name) && name.find('=') == std::string_view::npos && name.front() != ';' &&
         name.front() != '[';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const Call call = Split(std::string_view(reinterpret_cast<const char*>(data), size));

  const std::string read = ini::GetString(call.file, call.section, call.key, call.value, call.buffer_size);
  Require(read.size() < call.buffer_size || (call.buffer_size == 0 && read.empty()), "reading fits the buffer");
  Require(read.find('\0') == std::string::npos, "reading stops at a NUL");

  const std::string written = ini::PutString(call.file, call.section, call.key, call.value);
  if (!SimpleSection(call.section) || !SimpleKey(call.key) || !OneLine(call.value)) return 0;

  const std::size_t whole = written.size() + 1;
  Require(ini::GetString(written, call.section, call.key, "", whole) == StripQuotes(Trim(call.value)),
          "a written value reads back trimmed");
  Require(ini::PutString(written, call.section, call.key, call.value) == written, "writing again changes nothing");
  // A key of another name keeps its value. Names equal byte for byte without
  // regard to ASCII case are left out: they may be the same name.
  if (!FoldedEqual(Trim(call.other_key), Trim(call.key))) {
    Require(ini::GetString(call.file, call.section, call.other_key, "\x01", whole) ==
                ini::GetString(written, call.section, call.other_key, "\x01", whole),
            "other keys keep their values");
  }
  return 0;
}
