#include "app/recent_files.h"

#include <algorithm>

#include "platform/registry.h"

namespace {
std::string ValueName(std::size_t i) { return "MRU" + std::to_string(i); }
}  // namespace

void TRecentFiles::Add(const std::string& name) {
    if (name.empty()) return;
    Remove(name);
    names_.insert(names_.begin(), name);
    if (names_.size() > kMaxEntries) names_.resize(kMaxEntries);
}

void TRecentFiles::Remove(const std::string& name) {
    names_.erase(std::remove(names_.begin(), names_.end(), name), names_.end());
}

void TRecentFiles::Load() {
    names_.clear();
    for (std::size_t i = 0; i < kMaxEntries; ++i) {
        auto v = registry::readString(registry::Hive::CurrentUser, kFilesKey, ValueName(i));
        if (!v || v->empty()) break;
        if (std::find(names_.begin(), names_.end(), *v) == names_.end()) names_.push_back(*v);
    }
}

bool TRecentFiles::Save() const {
    registry::WriteBatch batch(registry::Hive::CurrentUser);
    bool ok = true;
    for (std::size_t i = 0; i < kMaxEntries; ++i) {
        if (i < names_.size()) {
            ok = registry::writeString(registry::Hive::CurrentUser, kFilesKey, ValueName(i), names_[i]) && ok;
        } else {
            registry::deleteValue(registry::Hive::CurrentUser, kFilesKey, ValueName(i));
        }
    }
    return batch.commit() && ok;
}
