// Converting a camera frame into a spectrum: a 1280 x 720 frame over a ROI, with dark subtraction and
// the ratio to a reference (absorbance), as the live view does for every frame.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "platform/bmp_file.h"
#include "platform/frame_source.h"
#include "platform/scratch_file.h"
#include "tools/webcam_spectrum.h"

namespace {

void BM_ImageToSpectrum1280x720(benchmark::State& state) {
    TSyntheticSettings s;
    s.Width = 1280;
    s.Height = 720;
    s.Pattern = TSyntheticPattern::ColourRamp;
    const TFrame frame = SyntheticFrame(s);
    const TImageRange roi = RoiToImageRange(50, 50, 1230, 670, 1280, 720, 1280, 720);
    TWebcamParams raw;
    TSpectrumRecord dark, reference, rec;
    s.Brightness = 10;
    ImageToSpectrum(dark, SyntheticFrame(s), roi, raw, nullptr, nullptr);
    ImageToSpectrum(reference, frame, roi, raw, nullptr, nullptr);
    TWebcamParams p;
    p.UseDark = true;
    p.RatioMode = true;
    p.MeasYKind = SpecYAbsorbance;
    const bool roiOnly = state.range(0) == 0;
    for (auto _ : state) {
        if (roiOnly) ImageToSpectrum(rec, frame, roi, p, &dark, &reference);
        else ImageToSpectrum(rec, frame, WholeImage(frame), p, nullptr, nullptr);
        benchmark::DoNotOptimize(rec.Values.data());
    }
    state.SetLabel(roiOnly ? "ROI 1181 x 621, dark, reference, absorbance" : "whole frame, intensity");
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(roiOnly ? 1181 * 621 : 1280 * 720));
}
BENCHMARK(BM_ImageToSpectrum1280x720)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The live view also writes every frame to cam.bmp: as a scratch file written over in place (what it
// does), or replaced safely with a synced temporary file (what a save does), for comparison.
void BM_GrabFrameToFile1280x720(benchmark::State& state) {
    TSyntheticSettings s;
    s.Width = 1280;
    s.Height = 720;
    auto source = MakeStillSource(SyntheticFrame(s), "bench");
    const std::string path = std::filesystem::temp_directory_path() / "vx_bench_cam.bmp";
    const bool scratch = state.range(0) == 0;
    for (auto _ : state) {
        const TFrame f = source->Grab();
        if (scratch) WriteScratchFile(path, EncodeBitmap(f));
        else WriteBitmapFile(path, f);
        benchmark::DoNotOptimize(f.Width);
    }
    state.SetLabel(scratch ? "scratch file" : "safe replace");
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(EncodeBitmap(source->Grab()).size()));
    std::filesystem::remove(path);
}
BENCHMARK(BM_GrabFrameToFile1280x720)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
