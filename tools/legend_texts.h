#pragma once
// The work behind the legend texts dialog: search-and-replace over the legend lines, and the rule by
// which edited lines are taken over as the legend names of the spectra.
#include <optional>
#include <string>
#include <vector>

namespace legend {

// Without "#" in `search`: in every line that contains it (exact case) every occurrence, in any case,
// becomes `replacement`. With "#": the text before the first "#" is the prefix and the number of "#"
// characters is n; in every line that contains the prefix the n characters after its first occurrence
// are deleted (at most up to the line end), then every occurrence of the prefix, in any case, becomes
// `replacement`. An empty search text or an empty prefix changes nothing.
void ReplaceInLines(std::vector<std::string>& lines, const std::string& search,
                    const std::string& replacement);

// Every occurrence of `search`, ASCII case ignored, replaced; an empty search changes nothing.
std::string ReplaceAllIgnoreCase(const std::string& s, const std::string& search,
                                 const std::string& replacement);

// The lines to take over for `count` spectra: one extra empty last line is dropped; any other
// difference in the number of lines takes nothing over.
std::optional<std::vector<std::string>> LinesToTakeOver(std::vector<std::string> lines, int count);

}  // namespace legend
