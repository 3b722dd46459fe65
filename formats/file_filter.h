#pragma once
// One entry of a file dialog's filter, as the Open and the save tables give them.
#include <string>

// The text the user sees and its ";"-separated patterns.
struct FilterEntry {
    std::string description;
    std::string patterns;
};
