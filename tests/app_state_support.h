#pragma once
// Guards and fixtures for the tests that drive the main window and the dialogs: they work on the
// program's own list and display units, which each test starts empty and leaves as it found them.
#include <memory>
#include <string>
#include <vector>

#include "app/program_state.h"
#include "tests/tools_test_support.h"

namespace tooltest {

struct DisplayGuard {
    SpecXUnit x = DisplayXUnit;
    SpecYKind y = DisplayYMode;
    ~DisplayGuard() {
        DisplayXUnit = x;
        DisplayYMode = y;
    }
};

// Empties the program's spectra list and restores the decimal separator around a test.
struct ListGuard {
    char sep = numtext::decimalSeparator();
    DisplayGuard display;
    ListGuard() {
        SpectraList.Clear();
        DisplayXUnit = SpecXNanometer;
        DisplayYMode = SpecYAbsorbance;
    }
    ~ListGuard() {
        SpectraList.Clear();
        numtext::setDecimalSeparator(sep);
    }
};

// addRecord into the program's list.
inline TSpectrumRecord& addRecord(const std::string& title, double first, double step,
                                  std::vector<double> values, SpecXUnit unit = SpecXNanometer,
                                  uint32_t color = 0x123456) {
    return addRecord(SpectraList, title, first, step, std::move(values), unit, color);
}

inline std::vector<std::string> titles() { return titles(SpectraList); }

}  // namespace tooltest
