// The framework's own string-table entries (framework/win/framework.rc).
// Every program that uses the framework carries them.
#pragma once

namespace quillbin::win {

// "%1 から %2 までの整数を入力してください。"
inline constexpr unsigned kIdsRangeUnsigned = 61714;
// "正の整数を入力してください。"
inline constexpr unsigned kIdsParseUnsigned = 61719;
// The application's title, when a program has one; otherwise the
// executable's name is used.
inline constexpr unsigned kIdsAppTitle = 57344;

}  // namespace quillbin::win
