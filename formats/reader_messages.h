#pragma once
// Texts of the notes readers give when they mend what a file holds: one wording for every reader, so
// that the user reads the same thing whichever format the file was.
#include <cstdint>
#include <string>

// Values of a table that were no numbers and whose places the reader filled in between the values
// around them: "1 value was not a number; its place was filled in between its neighbours." and "N
// values were not numbers; their places were filled in between their neighbours."
std::string FilledInValuesText(std::uint64_t count);
