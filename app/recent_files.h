#pragma once
// The recent-files list of the File menu: own-format files only, newest first, at most 10 names,
// kept in the settings store beside the window placement.
#include <string>
#include <vector>

inline constexpr const char* kFilesKey = "SOFTWARE\\Brightmoor\\Varolux32\\Dateien";

class TRecentFiles {
public:
    static constexpr std::size_t kMaxEntries = 10;

    const std::vector<std::string>& Names() const { return names_; }
    // Puts the name first; an exact duplicate further down is removed, the list is cut to 10.
    void Add(const std::string& name);
    void Remove(const std::string& name);
    void Clear() { names_.clear(); }

    // Values "MRU0".."MRU9" of the files key (CurrentUser); missing or empty values end the list.
    void Load();
    // Writes the list and deletes the values of entries no longer present; false when not written.
    bool Save() const;

private:
    std::vector<std::string> names_;
};
