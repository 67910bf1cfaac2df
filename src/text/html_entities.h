#pragma once
// Named character references of language files: XML's five names and the HTML 4 entity sets.
#include <array>
#include <optional>
#include <string_view>

namespace zorvan {

struct NamedEntity {
    std::string_view name;  // as HTML writes it, letter case included
    char32_t codePoint;
};

inline constexpr std::size_t kNamedEntityCount = 253;

// apos and the 252 names of HTML 4 (HTMLspecial, HTMLlat1, HTMLsymbol).
extern const std::array<NamedEntity, kNamedEntityCount> kNamedEntities;

// The character of a reference name. Letter case of A-Z does not count; where two names differ
// only in case (Eacute, eacute) both give the character of the one with capitals.
std::optional<char32_t> LookupEntity(std::string_view name);

}  // namespace zorvan
