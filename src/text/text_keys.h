#pragma once
// The keys of the language texts ("tc_title", "tc_msg15", ...): 214 in all.
#include <string>
#include <string_view>
#include <vector>

namespace zorvan {

inline constexpr std::size_t kTextKeyCount = 214;

// Every key, in the order a language file is searched.
const std::vector<std::string>& TextKeys();

// Position of `key` in TextKeys(), or -1 for a name that is no text key.
int TextKeyIndex(std::string_view key);

}  // namespace zorvan
