// Character-wise helpers for UTF-8 text (the program counts characters, not bytes).
#pragma once
#include <string>
#include <string_view>

namespace app::text {

// Upper-cases the ASCII letters; other characters are kept.
std::string UpperAscii(std::string_view s);
// Characters from the 1-based position `start` on, like Mid$(s, start).
std::string Mid(std::string_view s, std::size_t start);
// Characters start .. start+count-1 (1-based).
std::string Mid(std::string_view s, std::size_t start, std::size_t count);
// The last `count` characters.
std::string Right(std::string_view s, std::size_t count);
std::size_t Length(std::string_view s);

// Whether the bytes are well-formed UTF-8: shortest forms only, no
// surrogates, nothing above U+10FFFF.
bool IsUtf8(std::string_view bytes);

}  // namespace app::text
