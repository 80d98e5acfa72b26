// The Windows profile (INI) functions GetPrivateProfileStringA and
// WritePrivateProfileStringA re-done on the bytes of a file: the settings file
// is read and written with them on every system. The text is code page 932
// and stays bytes:
// nothing is converted here, only double-byte characters are kept whole when
// names are compared and brackets are looked for.
//
// Reading:
// - lines end with CR LF, LF or CR; a NUL byte ends the whole text;
// - "[name]" starts a section (the last "]" of the line closes the name);
//   a line starting with ";" is a comment; any other line holding "=" is
//   key=value, the key before the first "="; all other lines are ignored;
// - section and key names match without regard to ASCII case, blanks around
//   them ignored; only the first section of a name and the first key of a
//   name in it count;
// - a value loses the blanks around it and then one pair of matching quotes
//   (" or ') around it.
//
// Writing edits the bytes in place and keeps every other line as it was:
// - an existing key's line becomes key=value (the key as passed, without the
//   blanks around it; the value exactly as passed, leading blanks included);
// - a missing key goes after the last non-blank line of its section;
// - a missing section goes at the end as "[section]" and "key=value", with no
//   blank line before it (an unfinished last line is ended first).
// New lines end with CR LF, so a new file reads "[Section]\r\nkey=value\r\n"
// and further keys follow in the order they are written. As with the C
// calls, section, key and value end at their first NUL byte; a value holding
// line breaks is written as it is and breaks the line. Bytes after a NUL in
// the file are not part of the text and are not written back.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace app::ini {

// What GetPrivateProfileStringA leaves in a NUL-filled buffer of buffer_size
// bytes, up to its first NUL: the value, or the default (without its trailing
// spaces) when the section or key is missing, cut to buffer_size - 1 bytes.
std::string GetString(std::string_view file_bytes, std::string_view section, std::string_view key,
                      std::string_view default_value, std::size_t buffer_size);

// The file bytes after WritePrivateProfileStringA(section, key, value).
// Empty file_bytes stand for a missing file.
std::string PutString(std::string_view file_bytes, std::string_view section, std::string_view key,
                      std::string_view value);

}  // namespace app::ini
