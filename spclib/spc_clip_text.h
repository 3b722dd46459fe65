#pragma once
// The plain-text rendering of a subfile that goes to the clipboard beside the file image, and the
// reader that opens such a text as a document. The two form a pair: a written text reads back as the
// same points with the same axis labels.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "spclib/spc_document.h"

namespace spc {

// The current subfile as text (header line, one "x TAB y" line per point, CR LF); nullopt without one.
std::optional<std::string> SubfileText(const TARNVIK& doc);
// Opens a text as a one-subfile document: 0, -2 out of memory, -3 not SPC text.
int32_t OpenSubfileText(TARNVIK& doc, std::string_view text);

}  // namespace spc
