// Damaged text files: every reader ends with a record, nothing, or one of our errors; never a crash.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "formats/dat_reader.h"
#include "formats/jcamp_reader.h"
#include "formats/text_spectra.h"
#include "core/helpers.h"
#include "platform/errors.h"
#include "platform/ui.h"

namespace {

const char* const kJcamp =
    "##TITLE= t\r\n##BLOCKS= 2\r\n##DATA TYPE= UV/VIS SPECTRUM\r\n##XUNITS= 1/CM\r\n##YUNITS= TRANSMITTANCE\r\n"
    "##FIRSTX= 4000\r\n##LASTX= 3991\r\n##NPOINTS= 10\r\n##XYDATA= (X++(Y..Y))\r\n4000 0.5 0.6 0.7 0.8 0.9\r\n"
    "3995 0.1 0.2 0.3 0.4 0.5\r\n##END=\r\n##TITLE= u\r\n##NPOINTS= 3\r\n##XYPOINTS= (XY..XY)\r\n400, 1\r\n"
    "401, 2\r\n402, 3\r\n##END=\r\n";
const char* const kCsv =
    "Wavelength;300;310;320\r\n400;1;-;-0.25\r\n401;2;2;1.5E-3\r\n402;3;3;3\r\n403;4;4;4\r\n404;5;5;5\r\n"
    "405;6;6;6\r\n406;7;7;7\r\n";
const char* const kDat =
    "Wavelength [nm]\tWavelength [\xC2\xB5m]\tWavenumbers [1/cm]\ta\tb\r\n400.000\t0.4000\t25000.00\t0.5\t-\r\n"
    "401.000\t0.4010\t24937.66\t0.6\t0.1\r\n402.000\t0.4020\t24875.62\t0.7\t0.2\r\n";

std::string mutate(std::string s, std::mt19937& rng) {
    static const char pool[] = "0123456789.,;+-eE \t\r\n#$=()XY?";
    std::uniform_int_distribution<int> kind(0, 3), count(1, 6);
    for (int n = count(rng); n > 0 && !s.empty(); --n) {
        std::uniform_int_distribution<std::size_t> pos(0, s.size() - 1);
        char c = pool[std::uniform_int_distribution<std::size_t>(0, sizeof pool - 2)(rng)];
        switch (kind(rng)) {
        case 0: s[pos(rng)] = c; break;
        case 1: s.insert(pos(rng), 1, c); break;
        case 2: s.erase(pos(rng), 1); break;
        default: s.resize(pos(rng)); break;
        }
    }
    return s;
}

template <class Read>
void survive(const char* base, Read read) {
    ui::ScopedScriptedBackend ui;
    ui->onAsk = [](ui::Query& q) {
        q.fields["RadioGroup1"] = "1";
        return true;
    };
    std::mt19937 rng(2026);
    for (int i = 0; i < 3000; ++i) {
        const std::string text = mutate(base, rng);
        TSpectraList list;
        try {
            read(text, list);
        } catch (const vx::Error&) {
        }
        for (const auto& r : list) ASSERT_TRUE(r->IsComplete()) << text;
    }
}

TEST(DamagedText, JcampReader) {
    survive(kJcamp, [](const std::string& t, TSpectraList& l) { LoadSpecJcampText(t, "/m.dx", "d", l); });
}

TEST(DamagedText, DelimitedTextReader) {
    survive(kCsv, [](const std::string& t, TSpectraList& l) { LoadTextSpectraData(t, "/m.csv", 0, "d", l); });
}

TEST(DamagedText, DatReader) {
    survive(kDat, [](const std::string& t, TSpectraList& l) { LoadDatLines(SplitLines(t), "/m.dat", "d", l); });
}

}  // namespace
