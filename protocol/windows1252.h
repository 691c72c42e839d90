#pragma once

#include <string>
#include <string_view>

namespace protocol {

// Text inside the system is UTF-8. Where the locks and the facility files
// need one byte per character (facility names and passwords in the mixing
// function, texts of the record link cipher) the characters travel as
// Windows-1252. A character that code page lacks, or a malformed UTF-8
// sequence, becomes '?'; the five unassigned bytes map to the C1 control
// characters of the same value so that every byte survives a round trip.
std::string Utf8ToWindows1252(std::string_view utf8);
std::string Windows1252ToUtf8(std::string_view bytes);

// The first `count` characters (code points) of a UTF-8 text.
std::string Utf8Left(std::string_view utf8, std::size_t count);

}  // namespace protocol
