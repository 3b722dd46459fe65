#pragma once
// The program's name and version as shown in captions.
inline constexpr const char* kProgramName = "Varolux32";
inline constexpr const char* kProgramVersion = "1.72.2p";
inline constexpr const char* kMainCaption = "Varolux32 version 1.72.2p";
// The product's home page: the website command and the about box's address.
inline constexpr const char* kWebsiteUrl = "https://www.varolux32.org/";
// The help window's web pages: the download page (its label shows the site's address) and the forum.
inline constexpr const char* kWebsiteAddressText = "www.varolux32.org";
inline constexpr const char* kDownloadPageUrl = "https://www.varolux32.org/download/";
inline constexpr const char* kCommunityPageUrl = "https://www.varolux32.org/forum/";
