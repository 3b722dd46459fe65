#include "tools/raman_bands.h"

#include <exception>

#include "formats/text_loader.h"

namespace {
// A table of solvents is a few lines; anything far larger is not this file.
constexpr std::uint64_t kRamanBandsMaxBytes = 1 << 20;
}  // namespace

TRamanBandTable LoadRamanBands(const std::string& path) {
    TRamanBandTable table;
    try {
        const MappedText text = MappedText::OpenFile(path, kRamanBandsMaxBytes, "Raman band table");
        LineCursor lines(text.Bytes());
        for (std::string_view line; lines.Next(line);) {
            if (line.find_first_not_of(" \t") == std::string_view::npos) continue;
            const std::size_t semi = line.find(';');
            TRamanBand band;
            band.Name = text.Utf8(line.substr(0, semi));
            if (semi != std::string_view::npos) band.ShiftText = text.Utf8(line.substr(semi + 1));
            table.Bands.push_back(std::move(band));
        }
        table.Found = true;
    } catch (const std::exception&) {
        table.Bands.clear();
        table.Found = false;
    }
    return table;
}

int32_t RamanBandIndex(const TRamanBandTable& table, const std::string& name) {
    for (std::size_t i = 0; i < table.Bands.size(); ++i)
        if (table.Bands[i].Name == name) return static_cast<int32_t>(i);
    return -1;
}
