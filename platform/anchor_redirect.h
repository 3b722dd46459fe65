#pragma once
// Help pages open at a section: a file URL with a fragment (file:///.../page.html#info). Desktop
// openers that fall back to handing the browser a bare file name (xdg-open's generic path) drop the
// fragment, and the page opens at its top. A small page of our own that jumps to the full URL keeps
// it: the opener is given that page, which has no fragment to lose.
#include <string>

#include "platform/private_folder.h"

// The URL as a browser takes it: bytes outside the unreserved characters (and "/" before the fragment,
// "#" inside it) percent-encoded. `url` is "file://" + a plain path, optionally "#" + a fragment.
std::string EncodeFileUrl(const std::string& url);

// Writes the page that leads to `url` into the per-user temporary folder and returns its path; "" when
// it could not be written (the caller then opens `url` itself). One page per URL, so that two help
// calls in quick succession never change a page that a browser is still about to read.
std::string WriteAnchorRedirectPage(const std::string& url);
