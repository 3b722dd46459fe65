#include "formats/reader_messages.h"

std::string FilledInValuesText(std::uint64_t count) {
    if (count == 1) return "1 value was not a number; its place was filled in between its neighbours.";
    return std::to_string(count) + " values were not numbers; their places were filled in between their neighbours.";
}
