// The text of the spectra information window.
#include <gtest/gtest.h>

#include "platform/numtext.h"
#include "tests/tools_test_support.h"
#include "tools/spectrum_info.h"

namespace {
using SepGuard = tooltest::SeparatorGuard;
}  // namespace

TEST(SpectrumInfo, EveryFieldOfAFullRecord) {
    SepGuard comma(',');
    TSpectrumRecord r;
    r.FileName = "/data/run 1/sample;2.rvx";
    r.Title = "sample 2";
    r.DateText = "2024-05-01 12:34:56";
    r.Comment1 = "first";
    r.Comment2 = "second";
    r.SpecType = "generic_csv";
    r.Solvent = "Water";
    r.PathLength = 0.5;
    r.Concentration = 2.5e-5;
    r.ExcitationWl = 350.125;
    r.Temperature = 77;
    r.FirstX = 300;
    r.StepX = 0.5;
    r.Values.assign(5, 0.0);
    EXPECT_EQ(BuildInfoText(r), (std::vector<std::string>{
                                    "filepath:\t/data/run 1/",
                                    "filename:\tsample;2.rvx",
                                    "date:\t\t2024-05-01 12:34:56",
                                    "description\tsample 2",
                                    "comment1:\tfirst",
                                    "comment2:\tsecond",
                                    "spectrum type\tgeneric_csv",
                                    "-------------------------------------------------------",
                                    "solvent:\t\tWater",
                                    "absorption path length:\t0,5 cm",
                                    "concentration:\t0,000025 mol/l",
                                    "wavelength:\t350,13 nm",
                                    "temperature:\t77 K",
                                    "start wavelength:\t300,00 nm",
                                    "end wavelength\t302,00 nm",
                                    "step width:\t0,5000 nm",
                                    "data points\t5",
                                }));
}

TEST(SpectrumInfo, UnsetFieldsShowDashesAndOnlyNmAndWavenumbersShowTheirGrid) {
    SepGuard point('.');
    TSpectrumRecord r;
    r.FileName = "plain";
    r.Title = "t";
    r.Concentration = 0;
    r.ExcitationWl = -1;
    r.Temperature = -1;
    r.FirstX = 4000;
    r.StepX = -2;
    r.Values.assign(3, 0.0);
    struct Case {
        SpecXUnit xUnit;
        std::vector<std::string> grid;
    };
    const Case cases[] = {
        {SpecXWavenumber, {"start wavenumber:\t4000.00 cm^-1", "end wavenumber\t3996.00 cm^-1", "step width:\t-2.0000 cm^-1"}},
        {SpecXRamanShift, {"start wavenumber:\t4000.00 cm^-1", "end wavenumber\t3996.00 cm^-1", "step width:\t-2.0000 cm^-1"}},
        {SpecXElectronVolt, {}},
        {SpecXMicrometer, {}},
    };
    for (const Case& c : cases) {
        r.XUnit = c.xUnit;
        std::vector<std::string> expected = {"filepath:\t",          "filename:\tplain",
                                             "Date:\t\t--",          "description\tt",
                                             "Comment1:\t--",        "Comment2:\t--",
                                             "spectrum type\t--",    "-------------------------------------------------------",
                                             "Solvent:\t--",         "absorption path length:\t1 cm",
                                             "concentration:\t--",   "wavelength:\t--",
                                             "Temperature:\t--"};
        expected.insert(expected.end(), c.grid.begin(), c.grid.end());
        expected.push_back("data points\t3");
        EXPECT_EQ(BuildInfoText(r), expected) << CodeOf(c.xUnit);
    }
}
