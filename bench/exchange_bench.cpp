// Reading speed of the exchange formats: a JCAMP-DX block of 1,000,000 points in (X++(Y..Y)) form and
// a CSV of 100 spectra x 10,000 rows, both parsed from memory.
#include <benchmark/benchmark.h>

#include <cmath>
#include <string>

#include "formats/jcamp_reader.h"
#include "formats/text_spectra.h"
#include "platform/numtext.h"
#include "platform/ui.h"

namespace {

std::string jcampText(int n) {
    std::string t =
        "##TITLE= bench\r\n##JCAMP-DX= 5.01\r\n##XUNITS= NANOMETERS\r\n##YUNITS= ABSORBANCE\r\n"
        "##FIRSTX= 200.000000\r\n##LASTX= " +
        numtext::FloatToStrF(200.0 + (n - 1) * 0.001, numtext::FloatFormat::Fixed, 8, 6, '.') +
        "\r\n##DELTAX= 0.001000\r\n##NPOINTS= " + std::to_string(n) + "\r\n##XYDATA= (X++(Y..Y))\r\n";
    char buf[32];
    for (int i = 0; i < n; ++i) {
        if (i % 10 == 0) {
            if (i) t += "\r\n";
            std::snprintf(buf, sizeof buf, "%.3f", 200.0 + i * 0.001);
            t += buf;
        }
        std::snprintf(buf, sizeof buf, " %.5f", 0.5 + 0.4 * std::sin(i * 1e-3));
        t += buf;
    }
    t += "\r\n##END= \r\n";
    return t;
}

std::string csvText(int spectra, int rows) {
    std::string t = "Wavelength [nm]";
    for (int s = 0; s < spectra; ++s) t += ";s" + std::to_string(s);
    t += "\r\n";
    char buf[32];
    for (int r = 0; r < rows; ++r) {
        std::snprintf(buf, sizeof buf, "%.3f", 300.0 + r * 0.05);
        t += buf;
        for (int s = 0; s < spectra; ++s) {
            std::snprintf(buf, sizeof buf, ";%.5g", 0.1 + 0.001 * s + 0.5 * std::sin(r * 1e-3));
            t += buf;
        }
        t += "\r\n";
    }
    return t;
}

void BM_JcampPackedMillionPoints(benchmark::State& state) {
    numtext::setDecimalSeparator('.');
    ui::ScopedScriptedBackend ui;
    const std::string text = jcampText(1000000);
    for (auto _ : state) {
        TSpectraList list;
        LoadSpecJcampText(text, "/bench.dx", "d", list);
        benchmark::DoNotOptimize(list[0].Values.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_JcampPackedMillionPoints)->Unit(benchmark::kMillisecond);

void BM_Csv100SpectraBy10000Rows(benchmark::State& state) {
    numtext::setDecimalSeparator('.');
    ui::ScopedScriptedBackend ui;
    ui->onAsk = [](ui::Query& q) {
        q.fields["RadioGroup1"] = "1";  // one shared x column
        return true;
    };
    const std::string text = csvText(100, 10000);
    for (auto _ : state) {
        TSpectraList list;
        LoadTextSpectraData(text, "/bench.csv", 1, "d", list);
        benchmark::DoNotOptimize(list[99].Values.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_Csv100SpectraBy10000Rows)->Unit(benchmark::kMillisecond);

}  // namespace
