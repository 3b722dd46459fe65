#pragma once
// The large sample files the read benchmarks compare against fread: about 100 MB each.
#include <memory>
#include <string>
#include <vector>

#include "core/spectra_list.h"

#include "spclib/tarnvik_api.h"

namespace bench_samples {

// 1,250 spectra of 10,000 points: an RVX file of 101 MB (fewer spectra for a quick trial run).
inline TSpectraList RvxSpectra(int spectra = 1250) {
    TSpectraList l;
    for (int k = 0; k < spectra; ++k) {
        auto r = std::make_unique<TSpectrumRecord>();
        r->Title = "spectrum " + std::to_string(k);
        r->FirstX = 200;
        r->StepX = 0.1;
        r->Values.resize(10'000);
        for (int i = 0; i < 10'000; ++i) r->Values[static_cast<std::size_t>(i)] = k + i * 1e-4;
        l.Add(std::move(r));
    }
    return l;
}

// An evenly spaced SPC file of `subfiles` x `points` float values, written by the library; true when saved.
inline bool WriteSpc(const std::string& path, int subfiles, int points) {
    HTARNVIK h = TARNVIK_Create();
    TARNVIK_CreateSpc(h, 0);
    TARNVIK_SetFirstPoint(h, 400);
    TARNVIK_SetLastPoint(h, 800);
    std::vector<float> y(static_cast<std::size_t>(points));
    for (int k = 0; k < subfiles; ++k) {
        for (int i = 0; i < points; ++i) y[std::size_t(i)] = float(k) + float(i % 10000) * 1e-4f;
        TARNVIK_AddSubFile(h, y.data(), nullptr, points, float(k), float(k));
    }
    const bool saved = TARNVIK_SaveFile(h, path.c_str(), -1) > 0;
    TARNVIK_Destroy(h);
    return saved;
}

}  // namespace bench_samples
