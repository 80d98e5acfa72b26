#include "app/ini_profile.h"

#include <algorithm>
#include <vector>

namespace app::ini {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Code page 932 double-byte characters: a lead byte and a trail byte. A trail
// byte can look like "]" or an ASCII letter, so it must never be read alone.
bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
bool IsTrailByte(unsigned char c) { return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC); }

// Length of the character at `pos`: 2 for a complete double-byte pair, else 1.
std::size_t CharLength(std::string_view text, std::size_t pos) {
  const bool pair = pos + 1 < text.size() && IsLeadByte(static_cast<unsigned char>(text[pos])) &&
                    IsTrailByte(static_cast<unsigned char>(text[pos + 1]));
  return pair ? 2 : 1;
}

char FoldAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// The C calls see a string only up to its first NUL.
std::string_view UpToNul(std::string_view text) { return text.substr(0, text.find('\0')); }

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size();) {
    const std::size_t length = CharLength(a, i);
    if (length == 2) {
      if (a.substr(i, 2) != b.substr(i, 2)) return false;
    } else if (FoldAscii(a[i]) != FoldAscii(b[i])) {
      return false;
    }
    i += length;
  }
  return true;
}

struct Line {
  std::size_t begin;  // first byte
  std::size_t end;    // one past the last byte before the line break
  std::size_t next;   // first byte of the following line
};

std::vector<Line> SplitLines(std::string_view text) {
  std::vector<Line> lines;
  std::size_t begin = 0;
  while (begin < text.size()) {
    const std::size_t end = std::min(text.find_first_of("\r\n", begin), text.size());
    std::size_t next = end;
    if (next < text.size()) next += (text[next] == '\r' && next + 1 < text.size() && text[next + 1] == '\n') ? 2 : 1;
    lines.push_back({begin, end, next});
    begin = next;
  }
  return lines;
}

// "[name]" with the last "]" of the line closing the name.
bool ParseSection(std::string_view line, std::string_view& name) {
  std::size_t pos = 0;
  while (pos < line.size() && IsBlank(line[pos])) ++pos;
  if (pos >= line.size() || line[pos] != '[') return false;
  const std::size_t open = pos++;
  std::size_t close = std::string_view::npos;
  for (; pos < line.size(); pos += CharLength(line, pos)) {
    if (line[pos] == ']') close = pos;
  }
  if (close == std::string_view::npos) return false;
  name = Trim(line.substr(open + 1, close - open - 1));
  return true;
}

// key=value; "=" is below every trail byte, so a plain search is safe.
bool ParseKey(std::string_view line, std::string_view& key, std::string_view& value) {
  const std::string_view text = Trim(line);
  if (text.empty() || text.front() == ';') return false;
  const std::size_t equals = text.find('=');
  if (equals == std::string_view::npos) return false;
  key = Trim(text.substr(0, equals));
  value = text.substr(equals + 1);
  return true;
}

// Where a key of a section is, or where it would have to go.
struct Place {
  std::vector<Line> lines;
  bool has_section = false;
  std::size_t header = 0;       // line of the section's header
  std::size_t section_end = 0;  // first line after the section
  bool has_key = false;
  std::size_t key_line = 0;
  std::string_view value;  // raw text after "="
};

Place Locate(std::string_view text, std::string_view section, std::string_view key) {
  Place place;
  place.lines = SplitLines(text);
  place.section_end = place.lines.size();
  for (std::size_t i = 0; i < place.lines.size(); ++i) {
    const std::string_view line = text.substr(place.lines[i].begin, place.lines[i].end - place.lines[i].begin);
    std::string_view name, value;
    if (ParseSection(line, name)) {
      if (place.has_section) {
        place.section_end = i;
        break;
      }
      if (SameName(name, section)) {
        place.has_section = true;
        place.header = i;
      }
    } else if (place.has_section && !place.has_key && ParseKey(line, name, value) && SameName(name, key)) {
      place.has_key = true;
      place.key_line = i;
      place.value = value;
    }
  }
  return place;
}

std::string_view StripQuotes(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

// A new line for a key; the value keeps its blanks, they are trimmed on reading.
std::string KeyLine(std::string_view key, std::string_view value) {
  std::string line(key);
  line += '=';
  line += value;
  return line;
}

}  // namespace

std::string GetString(std::string_view file_bytes, std::string_view section, std::string_view key,
                      std::string_view default_value, std::size_t buffer_size) {
  if (buffer_size == 0) return {};
  const Place place = Locate(UpToNul(file_bytes), Trim(UpToNul(section)), Trim(UpToNul(key)));
  std::string_view result;
  if (place.has_key) {
    result = StripQuotes(Trim(place.value));
  } else {
    // Windows drops the default's trailing blanks and documents it.
    result = UpToNul(default_value);
    while (!result.empty() && IsBlank(result.back())) result.remove_suffix(1);
  }
  return std::string(result.substr(0, buffer_size - 1));
}

std::string PutString(std::string_view file_bytes, std::string_view section, std::string_view key,
                      std::string_view value) {
  const std::string_view text = UpToNul(file_bytes);
  const std::string_view section_name = Trim(UpToNul(section));
  const std::string_view key_name = Trim(UpToNul(key));
  const std::string line = KeyLine(key_name, UpToNul(value));
  const Place place = Locate(text, section_name, key_name);
  std::string out;
  out.reserve(text.size() + line.size() + section_name.size() + 8);

  if (place.has_key) {
    const Line& old = place.lines[place.key_line];
    out.append(text.substr(0, old.begin)).append(line).append(text.substr(old.end));
    return out;
  }
  if (place.has_section) {
    // After the last non-blank line, so the blank lines that separate
    // sections stay between the sections.
    std::size_t last = place.section_end - 1;
    while (last > place.header) {
      const Line& l = place.lines[last];
      if (!Trim(text.substr(l.begin, l.end - l.begin)).empty()) break;
      --last;
    }
    const Line& after = place.lines[last];
    out.append(text.substr(0, after.next));
    if (after.next == after.end) out += "\r\n";  // the last line of the file had no line break
    out.append(line).append("\r\n").append(text.substr(after.next));
    return out;
  }
  out.append(text);
  if (!text.empty() && text.back() != '\n' && text.back() != '\r') out += "\r\n";
  out.append("[").append(section_name).append("]\r\n").append(line).append("\r\n");
  return out;
}

}  // namespace app::ini
