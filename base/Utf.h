#pragma once
// UTF-8 <-> UTF-16 conversion. Invalid sequences become U+FFFD rather than failing,
// so a damaged name in a file never stops a document from opening.
#include <string>
#include <string_view>

namespace quillet {

std::u16string utf8ToUtf16(std::string_view utf8);
std::string utf16ToUtf8(std::u16string_view utf16);

}  // namespace quillet
