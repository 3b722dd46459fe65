#pragma once
// Selection of spectra by file-type tag lists: a tag matches when it occurs in the record's `SpecType`
// (substring); an empty tag never matches.
#include <string>
#include <vector>

bool MatchesTagList(const std::string& specType, const std::vector<std::string>& tags);
