#include "app/window_placement.h"

#include <cstdio>

#include "app/recent_files.h"
#include "platform/numtext.h"
#include "platform/registry.h"

namespace {
constexpr uint32_t kShowNormal = 1;
constexpr uint32_t kShowMaximized = 3;
}  // namespace

std::optional<TWindowPlacement> ParsePlacementRect(const std::string& text) {
    int v[4];
    std::size_t start = 0;
    for (int i = 0; i < 4; ++i) {
        std::size_t comma = text.find(',', start);
        if ((i < 3) != (comma != std::string::npos)) return std::nullopt;
        auto part = text.substr(start, i < 3 ? comma - start : std::string::npos);
        auto n = numtext::TryStrToInt(part);
        if (!n) return std::nullopt;
        v[i] = *n;
        start = comma + 1;
    }
    TWindowPlacement p;
    p.Left = v[0];
    p.Top = v[1];
    p.Right = v[2];
    p.Bottom = v[3];
    if (p.Right <= p.Left || p.Bottom <= p.Top) return std::nullopt;
    return p;
}

std::optional<TWindowPlacement> LoadWindowPlacement() {
    auto pos = registry::readString(registry::Hive::CurrentUser, kFilesKey, "NormPos");
    if (!pos) return std::nullopt;
    auto p = ParsePlacementRect(*pos);
    if (!p) return std::nullopt;
    auto show = registry::readDword(registry::Hive::CurrentUser, kFilesKey, "ShowCmd");
    p->Maximized = show && *show == kShowMaximized;
    return p;
}

bool SaveWindowPlacement(const TWindowPlacement& p) {
    using registry::Hive;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%d,%d,%d,%d", p.Left, p.Top, p.Right, p.Bottom);
    registry::WriteBatch batch(Hive::CurrentUser);
    bool ok = registry::writeDword(Hive::CurrentUser, kFilesKey, "Flags", 0);
    ok = registry::writeDword(Hive::CurrentUser, kFilesKey, "ShowCmd", p.Maximized ? kShowMaximized : kShowNormal) && ok;
    ok = registry::writeString(Hive::CurrentUser, kFilesKey, "MinMaxPos", "-1,-1,-1,-1") && ok;
    ok = registry::writeString(Hive::CurrentUser, kFilesKey, "NormPos", buf) && ok;
    ok = registry::writeDword(Hive::CurrentUser, kFilesKey, "PixelsPerInch", 96) && ok;
    return batch.commit() && ok;
}
