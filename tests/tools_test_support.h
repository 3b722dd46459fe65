#pragma once
// Fixtures for the tool tests: records built from values into a test's own list. The tests that drive
// the dialogs on the program's list use tests/app_state_support.h.
#include <memory>
#include <string>
#include <vector>

#include "core/spectra_list.h"
#include "core/units.h"
#include "platform/numtext.h"

namespace tooltest {

// Restores the regional decimal separator after a test that changes it (or sets it for the test).
struct SeparatorGuard {
    char sep = numtext::decimalSeparator();
    SeparatorGuard() = default;
    explicit SeparatorGuard(char s) { numtext::setDecimalSeparator(s); }
    ~SeparatorGuard() { numtext::setDecimalSeparator(sep); }
};

inline std::unique_ptr<TSpectrumRecord> makeRecord(const std::string& title, double first, double step,
                                                   std::vector<double> values,
                                                   SpecXUnit unit = SpecXNanometer) {
    auto r = std::make_unique<TSpectrumRecord>();
    r->Title = title;
    r->FirstX = first;
    r->StepX = step;
    r->XUnit = unit;
    r->Values = std::move(values);
    return r;
}

// Appends a record and gives it a colour that no default position has, so colour rules show.
inline TSpectrumRecord& addRecord(TSpectraList& list, const std::string& title, double first, double step,
                                  std::vector<double> values, SpecXUnit unit = SpecXNanometer,
                                  uint32_t color = 0x123456) {
    auto r = makeRecord(title, first, step, std::move(values), unit);
    r->Color = color;
    int32_t i = list.Add(std::move(r));
    return list[i];
}

inline std::vector<double> ramp(int n, double a = 0.0, double b = 1.0) {
    std::vector<double> v(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) v[static_cast<std::size_t>(i)] = a + b * i;
    return v;
}

inline std::vector<std::string> titles(const TSpectraList& list) {
    std::vector<std::string> t;
    for (const auto& r : list) t.push_back(r->Title.str());
    return t;
}

}  // namespace tooltest
