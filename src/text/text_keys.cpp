#include "text/text_keys.h"

#include <algorithm>
#include <utility>

namespace zorvan {
namespace {

std::vector<std::string> BuildKeys()
{
    std::vector<std::string> keys;
    for (const TextKeyGroup& g : kTextKeyGroups) {
        if (g.count == 0)
            keys.emplace_back(g.name);
        for (int n = 1; n <= g.count; ++n)
            keys.push_back(g.name + std::to_string(n));
    }
    return keys;
}

}  // namespace

const std::vector<std::string>& TextKeys()
{
    static const std::vector<std::string> keys = BuildKeys();
    return keys;
}

int TextKeyIndex(std::string_view key)
{
    // Sorted (name, position) pairs, built once.
    static const std::vector<std::pair<std::string_view, int>> sorted = [] {
        std::vector<std::pair<std::string_view, int>> pairs;
        const auto& keys = TextKeys();
        for (size_t i = 0; i < keys.size(); ++i)
            pairs.emplace_back(keys[i], int(i));
        std::sort(pairs.begin(), pairs.end());
        return pairs;
    }();
    const auto it = std::lower_bound(sorted.begin(), sorted.end(), key,
                                     [](const auto& entry, std::string_view k) { return entry.first < k; });
    return it != sorted.end() && it->first == key ? it->second : -1;
}

}  // namespace zorvan
