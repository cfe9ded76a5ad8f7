#pragma once
// Unicode text between the core and Windows.
// Implemented: [X] UTF-8 to UTF-16 and back, invalid input replaced, never rejected.
// The core speaks UTF-8; every Windows call here takes the wide (UTF-16) form.
#include <string>
#include <string_view>

namespace velun::win32 {

std::wstring Utf8ToWide(std::string_view text);
std::string WideToUtf8(std::wstring_view text);

}  // namespace velun::win32
