#include "core/spectrum_record.h"

#include <atomic>
#include <cmath>

#include "platform/errors.h"

double& TSpectrumRecord::ValueAt(int32_t i) {
    if (i < 0 || i >= PointCount()) throw vx::ListIndexError(i);
    return Values[static_cast<std::size_t>(i)];
}

double TSpectrumRecord::ValueAt(int32_t i) const {
    if (i < 0 || i >= PointCount()) throw vx::ListIndexError(i);
    return Values[static_cast<std::size_t>(i)];
}

uint64_t RecordIdentity::Next() {
    static std::atomic<uint64_t> counter{0};
    return ++counter;
}

bool TSpectrumRecord::HasUsableGrid() const {
    return PointCount() >= 2 && std::isfinite(FirstX) && std::isfinite(StepX) && StepX != 0.0;
}

bool TSpectrumRecord::IsComplete() const {
    if (!HasUsableGrid()) return false;
    // v - v is 0 for every finite v and NaN for infinities and NaN, and a NaN stays in a sum: four
    // independent sums test a large spectrum at about one value per cycle, without a branch per value.
    const double* v = Values.data();
    const std::size_t n = Values.size();
    double s0 = 0.0, s1 = 0.0, s2 = 0.0, s3 = 0.0;
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        s0 += v[i] - v[i];
        s1 += v[i + 1] - v[i + 1];
        s2 += v[i + 2] - v[i + 2];
        s3 += v[i + 3] - v[i + 3];
    }
    for (; i < n; ++i) s0 += v[i] - v[i];
    return !std::isnan(s0 + s1 + s2 + s3);
}
