#include "tools/tag_lists.h"

#include "core/helpers.h"

bool MatchesTagList(const std::string& specType, const std::vector<std::string>& tags) {
    for (const auto& t : tags)
        if (ContainsText(specType, t)) return true;
    return false;
}
