// The webcam window's work without a display: pictures whose spectrum is known turned into spectra,
// the dark, reference and ratio rules, and the live record found by its identity.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cmath>
#include <filesystem>

#include "platform/bmp_file.h"
#include "platform/errors.h"
#include "platform/frame_source.h"
#include "tools/webcam_session.h"
#include "tools/webcam_spectrum.h"

namespace {

TFrame greyRamp(int32_t w, int32_t h) {
    TSyntheticSettings s;
    s.Width = w;
    s.Height = h;
    s.Pattern = TSyntheticPattern::GreyRamp;
    return SyntheticFrame(s);
}

TFrame flat(int32_t w, int32_t h, uint8_t level) {
    TFrame f;
    f.Resize(w, h);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) f.SetPixel(x, y, level, level, level);
    return f;
}

TSpectrumRecord convert(const TFrame& f, TImageRange r, const TWebcamParams& p = {},
                        const TSpectrumRecord* dark = nullptr, const TSpectrumRecord* ref = nullptr,
                        TConversionResult* out = nullptr) {
    TSpectrumRecord rec;
    const TConversionResult res = ImageToSpectrum(rec, f, r, p, dark, ref);
    if (out) *out = res;
    return rec;
}

TSpectrumRecord withValues(std::vector<double> v) {
    TSpectrumRecord r;
    r.Values = std::move(v);
    return r;
}

}  // namespace

TEST(WebcamRoi, ControlRectangleToPictureColumnsAndRows) {
    struct Case {
        int32_t l, t, r, b, cw, ch, iw, ih;
        TImageRange want;
    };
    const Case cases[] = {
        // The default ROI of a 640 x 480 frame shown at its size: columns 50 to 590, 541 of them.
        {50, 50, 590, 430, 640, 480, 640, 480, {50, 590, 50, 430}},
        // A control half the picture's size: ceiling and floor of the scaled edges.
        {25, 25, 295, 215, 320, 240, 640, 480, {50, 590, 50, 430}},
        {1, 1, 3, 3, 4, 4, 10, 10, {3, 7, 3, 7}},
        // Corners given the other way round, and edges beyond the picture, are clamped.
        {590, 430, 50, 50, 640, 480, 640, 480, {50, 590, 50, 430}},
        {-40, -5, 900, 700, 640, 480, 640, 480, {1, 640, 1, 480}},
    };
    for (const Case& c : cases) {
        const TImageRange r = RoiToImageRange(c.l, c.t, c.r, c.b, c.cw, c.ch, c.iw, c.ih);
        EXPECT_EQ(r, c.want) << c.l << " " << c.r;
    }
    EXPECT_EQ(RoiToImageRange(50, 50, 590, 430, 640, 480, 640, 480).Columns(), 541);
}

TEST(WebcamConversion, GreyRampGivesTheColumnSumsOverWidthLessOne) {
    const TFrame f = greyRamp(11, 4);  // column c (1-based): level 255 * (c - 1) / 10, truncated
    TConversionResult res;
    const TSpectrumRecord rec = convert(f, WholeImage(f), {}, nullptr, nullptr, &res);
    ASSERT_EQ(rec.PointCount(), 11);
    for (int32_t c = 1; c <= 11; ++c) {
        const int level = 255 * (c - 1) / 10;
        EXPECT_DOUBLE_EQ(rec.Values[c - 1], 4.0 * level / 10.0) << c;
    }
    EXPECT_EQ(rec.SourceKind, SpecSourceWebcamLive);
    EXPECT_EQ(rec.YKind, SpecYIntensity);
    EXPECT_EQ(rec.FirstX, 0.0);
    EXPECT_EQ(rec.StepX, 1.0);
    // The last column is white: every channel clipped.
    EXPECT_FALSE(res.Clip.BlueOk || res.Clip.GreenOk || res.Clip.RedOk);
}

TEST(WebcamConversion, ChannelsAreAveragedByIntegerDivisionAndClipAbove253) {
    TFrame f;
    f.Resize(2, 1);
    f.SetPixel(0, 0, 254, 0, 0);  // (254 + 0 + 0) div 3 = 84
    f.SetPixel(1, 0, 1, 1, 0);    // 2 div 3 = 0
    TConversionResult res;
    TSpectrumRecord rec = convert(f, WholeImage(f), {}, nullptr, nullptr, &res);
    EXPECT_EQ(rec.Values, (std::vector<double>{84.0, 0.0}));
    EXPECT_FALSE(res.Clip.RedOk);
    EXPECT_TRUE(res.Clip.GreenOk);
    EXPECT_TRUE(res.Clip.BlueOk);
    f = flat(3, 3, 255);
    convert(f, WholeImage(f), {}, nullptr, nullptr, &res);
    EXPECT_FALSE(res.Clip.RedOk || res.Clip.GreenOk || res.Clip.BlueOk);
    f = flat(3, 3, 253);
    convert(f, WholeImage(f), {}, nullptr, nullptr, &res);
    EXPECT_TRUE(res.Clip.RedOk && res.Clip.GreenOk && res.Clip.BlueOk);
}

TEST(WebcamConversion, BandAtAKnownColumnInsideTheRoiAndFlipped) {
    TSyntheticSettings s;
    s.Pattern = TSyntheticPattern::Band;
    s.BandFirst = 300;  // 0-based columns 300..309 = 1-based 301..310
    s.BandLast = 309;
    const TFrame f = SyntheticFrame(s);
    const TImageRange roi = RoiToImageRange(50, 50, 590, 430, 640, 480, 640, 480);
    TSpectrumRecord rec = convert(f, roi);
    ASSERT_EQ(rec.PointCount(), 541);
    const double rows = 430 - 50 + 1;
    // Value k belongs to column 50 + k.
    EXPECT_DOUBLE_EQ(rec.Values[251], 200 * rows / 639);  // column 301
    EXPECT_DOUBLE_EQ(rec.Values[260], 200 * rows / 639);  // column 310
    EXPECT_DOUBLE_EQ(rec.Values[250], 10 * rows / 639);
    EXPECT_DOUBLE_EQ(rec.Values[261], 10 * rows / 639);
    // Flipped, the first stored value belongs to the last ROI column.
    TWebcamParams p;
    p.Flip = true;
    TSpectrumRecord flipped = convert(f, roi, p);
    for (int32_t k = 0; k < 541; ++k) ASSERT_EQ(flipped.Values[k], rec.Values[540 - k]);
}

TEST(WebcamConversion, WavelengthRangeSetsTheGridAndKind) {
    const TFrame f = greyRamp(301, 2);
    struct Case {
        bool on;
        int32_t start, end;
        double firstX, step;
        int32_t kind;
        bool reversed;
    };
    const Case cases[] = {
        {true, 400, 700, 400, 1.0, SpecSourceImage, false},
        {true, 700, 400, 400, 1.0, SpecSourceImage, true},  // ascending nm, values reversed
        {true, 400, -1, 0, 1.0, SpecSourceWebcamLive, false},  // an empty end edit: pixels
        {true, 500, 500, 0, 1.0, SpecSourceWebcamLive, false},  // no step from equal ends
        {true, 0, 700, 0, 1.0, SpecSourceWebcamLive, false},
        {false, 400, 700, 0, 1.0, SpecSourceWebcamLive, false},
        {true, 400, 1000, 400, 2.0, SpecSourceImage, false},
    };
    const TSpectrumRecord plain = convert(f, WholeImage(f));
    for (const Case& c : cases) {
        TWebcamParams p;
        p.WlRangeOn = c.on;
        p.StartWl = c.start;
        p.EndWl = c.end;
        const TSpectrumRecord rec = convert(f, WholeImage(f), p);
        EXPECT_EQ(rec.FirstX, c.firstX) << c.start << "-" << c.end;
        EXPECT_EQ(rec.StepX, c.step) << c.start << "-" << c.end;
        EXPECT_EQ(rec.SourceKind, c.kind) << c.start << "-" << c.end;
        EXPECT_EQ(rec.Values.front(), c.reversed ? plain.Values.back() : plain.Values.front());
        EXPECT_TRUE(rec.IsComplete());
    }
    EXPECT_EQ(WavelengthEditValue(" 400 "), 400);
    EXPECT_EQ(WavelengthEditValue(""), -1);
    EXPECT_EQ(WavelengthEditValue("40.5"), -1);
    EXPECT_EQ(WavelengthEditValue("-"), -1);
}

TEST(WebcamConversion, DarkSubtractionAndRatioModes) {
    const TFrame f = flat(4, 3, 90);  // every column: 3 * 90 / 3 = 90
    const TSpectrumRecord dark = withValues({10, 10, 10, 10});
    const TSpectrumRecord ref = withValues({160, 80, -5, 0});
    TWebcamParams p;
    p.UseDark = true;
    EXPECT_EQ(convert(f, WholeImage(f), p, &dark).Values, (std::vector<double>{80, 80, 80, 80}));
    // Absorbance: -log10((v - dark) / ref); a reference of 0 or below stores 6.0.
    p.RatioMode = true;
    p.MeasYKind = SpecYAbsorbance;
    TSpectrumRecord a = convert(f, WholeImage(f), p, &dark, &ref);
    EXPECT_EQ(a.YKind, SpecYAbsorbance);
    EXPECT_NEAR(a.Values[0], std::log10(2.0), 1e-15);
    EXPECT_NEAR(a.Values[1], 0.0, 1e-15);
    EXPECT_EQ(a.Values[2], 6.0);
    EXPECT_EQ(a.Values[3], 6.0);
    // A value at or below the dark gives a ratio <= 0: 6.0.
    const TSpectrumRecord brightDark = withValues({90, 95, 10, 10});
    a = convert(f, WholeImage(f), p, &brightDark, &ref);
    EXPECT_EQ(a.Values[0], 6.0);
    EXPECT_EQ(a.Values[1], 6.0);
    // Transmittance stores the same values with y kind 1.
    p.MeasYKind = SpecYTransmittance;
    EXPECT_EQ(convert(f, WholeImage(f), p, &dark, &ref).YKind, SpecYTransmittance);
    // Intensity never divides.
    p.MeasYKind = SpecYIntensity;
    EXPECT_EQ(convert(f, WholeImage(f), p, &dark, &ref).Values[0], 80);
    for (double v : a.Values) EXPECT_TRUE(std::isfinite(v));
}

TEST(WebcamConversion, DarkAndReferenceOfAnotherLengthAreNotUsed) {
    const TFrame f = flat(4, 1, 30);
    const TSpectrumRecord dark = withValues({1, 1, 1});  // 3 points for 4 columns
    const TSpectrumRecord ref = withValues({1, 1, 1, 1, 1});
    TWebcamParams p;
    p.UseDark = true;
    p.RatioMode = true;
    p.MeasYKind = SpecYAbsorbance;
    TConversionResult res;
    const TSpectrumRecord rec = convert(f, WholeImage(f), p, &dark, &ref, &res);
    EXPECT_TRUE(res.DarkUnfit);
    EXPECT_TRUE(res.ReferenceUnfit);
    EXPECT_EQ(rec.Values, (std::vector<double>{10, 10, 10, 10}));  // 30 / (4 - 1), nothing subtracted
    EXPECT_EQ(rec.YKind, SpecYIntensity);
}

TEST(WebcamConversion, NarrowRegionsKeepTheRecordAndOnePixelWidePicturesDivideByOne) {
    const TFrame f = greyRamp(10, 5);
    TSpectrumRecord rec = withValues({7, 8, 9});
    rec.FirstX = 3;
    for (TImageRange r : {TImageRange{4, 4, 1, 5}, TImageRange{6, 2, 1, 5}, TImageRange{1, 10, 4, 3},
                          TImageRange{11, 20, 1, 5}}) {
        const TConversionResult res = ImageToSpectrum(rec, f, r, {}, nullptr, nullptr);
        EXPECT_EQ(res.Status, TConversionStatus::TooFewColumns);
        EXPECT_EQ(rec.Values, (std::vector<double>{7, 8, 9}));
        EXPECT_EQ(rec.FirstX, 3);
    }
    // Ranges beyond the picture are clamped to it.
    EXPECT_EQ(convert(f, {-5, 30, -2, 99}).PointCount(), 10);
    // A picture one pixel wide: the sum divided by 1 (a region of 2 columns needs 2, so use a row).
    TFrame tall = flat(1, 3, 40);
    const TConversionResult one = ImageToSpectrum(rec, tall, WholeImage(tall), {}, nullptr, nullptr);
    EXPECT_EQ(one.Status, TConversionStatus::TooFewColumns);
    TFrame two = flat(2, 3, 40);
    EXPECT_EQ(convert(two, WholeImage(two)).Values, (std::vector<double>{120, 120}));
    TFrame empty;
    EXPECT_EQ(ImageToSpectrum(rec, empty, WholeImage(empty), {}, nullptr, nullptr).Status,
              TConversionStatus::TooFewColumns);
}

TEST(WebcamRecords, LiveDarkAndReferenceFields) {
    TSpectraList list;
    list.Add(std::make_unique<TSpectrumRecord>());
    TSpectrumRecord& live = CreateLiveSpectrum(list, 5, SpecYIntensity, "\"Cam - uvc", "2026-01-02 03:04:05");
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(live.Color, CurveColor(1));  // the count before appending
    EXPECT_EQ(live.SpecType, "LiveSpec");
    EXPECT_EQ(live.Title, "live spectrum: 2026-01-02 03:04:05");
    EXPECT_EQ(live.Comment1, "spectrometer name: \"Cam - uvc");
    EXPECT_EQ(live.FileName, "none");
    EXPECT_EQ(live.Values, std::vector<double>(5, 1.0));
    EXPECT_EQ(live.Temperature, -1.0);
    EXPECT_EQ(live.PathLength, 1.0);
    live.YKind = SpecYAbsorbance;
    auto dark = MakeStoredSpectrum(TStoredSpectrum::Dark, live, "d", "t");
    EXPECT_EQ(dark->SourceKind, SpecSourceWebcamDark);
    EXPECT_EQ(dark->SpecType, "DarkSpec");
    EXPECT_EQ(dark->Title, "dark spectrum: t");
    EXPECT_EQ(dark->YKind, SpecYIntensity);
    EXPECT_EQ(dark->Values, live.Values);
    auto ref = MakeStoredSpectrum(TStoredSpectrum::Reference, live, "d", "t");
    EXPECT_EQ(ref->SourceKind, SpecSourceWebcamReference);
    EXPECT_EQ(ref->Title, "reference spectrum: t");
    // Identity: a copy is another record.
    TSpectrumRecord copy = live;
    EXPECT_NE(copy.Identity.Value(), live.Identity.Value());
    EXPECT_EQ(IndexOfIdentity(list, live.Identity.Value()), 1);
    EXPECT_EQ(IndexOfIdentity(list, copy.Identity.Value()), -1);
}

namespace {

class WebcamSessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        s.ConnectSource = [this]() -> std::unique_ptr<TFrameSource> {
            ++connects;
            if (noCamera) throw vx::FileError("No webcam found.");
            TSyntheticSettings set;
            set.Pattern = TSyntheticPattern::GreyRamp;
            set.Width = 64;
            set.Height = 48;
            return MakeSyntheticSource(set);
        };
        s.UseRoi = false;
    }
    TSpectraList list;
    TWebcamSession s;
    int connects = 0;
    bool noCamera = false;
};

}  // namespace

TEST_F(WebcamSessionTest, WithoutACameraNothingIsConverted) {
    noCamera = true;
    const TGrabResult r = s.GrabAndConvert(list, true, "t");
    EXPECT_EQ(r.Error, "No webcam found.");
    EXPECT_FALSE(r.HasFrame);
    EXPECT_FALSE(r.Converted);
    EXPECT_TRUE(list.Empty());
    EXPECT_FALSE(s.Connected());
    // An old frame file is never taken as this session's picture.
    s.GrabFromCamera = false;
    const TGrabResult still = s.GrabAndConvert(list, true, "t");
    EXPECT_FALSE(still.Converted);
    EXPECT_FALSE(still.Error.empty());
    EXPECT_TRUE(list.Empty());
}

TEST_F(WebcamSessionTest, TheLiveRecordIsFoundByIdentityAfterDeletionAndMoves) {
    TGrabResult r = s.GrabAndConvert(list, true, "t1");
    ASSERT_TRUE(r.Converted);
    EXPECT_TRUE(r.LiveCreated);
    EXPECT_EQ(connects, 1);
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list[0].Title, "live spectrum: t1");
    // Another spectrum after it, then the live record moved behind it: found at its new place.
    auto other = std::make_unique<TSpectrumRecord>();
    other->Title = "other";
    other->Values = {1, 2};
    list.Add(std::move(other));
    list.Move(0, 1);
    r = s.GrabAndConvert(list, true, "t2");
    EXPECT_EQ(r.LiveIndex, 1);
    EXPECT_FALSE(r.LiveCreated);
    EXPECT_EQ(list[0].Title, "other");
    EXPECT_EQ(list[0].Values, (std::vector<double>{1, 2}));
    EXPECT_EQ(list[1].Title, "live spectrum: t2");
    // Deleted, and a new record made in its place: a new live record is appended, the other untouched.
    DeleteSpectrum(list, 1);
    auto newcomer = std::make_unique<TSpectrumRecord>();
    newcomer->Title = "newcomer";
    newcomer->Values = {5, 6};
    list.Add(std::move(newcomer));
    r = s.GrabAndConvert(list, true, "t3");
    EXPECT_TRUE(r.LiveCreated);
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list[1].Title, "newcomer");
    EXPECT_EQ(list[1].Values, (std::vector<double>{5, 6}));
    EXPECT_EQ(list[2].Title, "live spectrum: t3");
    EXPECT_EQ(list[2].PointCount(), 64);
    EXPECT_EQ(list[2].Color, CurveColor(2));
    EXPECT_EQ(connects, 1);  // connected once
}

TEST_F(WebcamSessionTest, DarkAndReferenceStoreRawIntensitiesWhateverTheMode) {
    TFrameSource* src = nullptr;
    s.GrabAndConvert(list, false, "t");
    src = s.Source();
    ASSERT_NE(src, nullptr);
    // Dark at low light, taken while absorbance with a ratio was set: still raw intensities.
    src->SetControl(kSyntheticBrightnessId, 32);
    s.Params.RatioMode = true;
    s.Params.MeasYKind = SpecYAbsorbance;
    TGrabResult r = s.SaveDarkSpectrum(list, "t");
    ASSERT_TRUE(r.Converted);
    ASSERT_NE(s.Dark(), nullptr);
    EXPECT_EQ(s.Dark()->YKind, SpecYIntensity);
    const TFrame low = s.Frame();
    const TSpectrumRecord rawLow = convert(low, WholeImage(low));
    EXPECT_EQ(s.Dark()->Values, rawLow.Values);
    // Reference at full light with the dark subtracted.
    s.Params.UseDark = true;
    src->SetControl(kSyntheticBrightnessId, 128);
    r = s.SaveReferenceSpectrum(list, "t");
    ASSERT_NE(s.Reference(), nullptr);
    const TFrame high = s.Frame();
    const TSpectrumRecord rawHigh = convert(high, WholeImage(high));
    for (int32_t i = 0; i < 64; ++i) EXPECT_DOUBLE_EQ(s.Reference()->Values[i], rawHigh.Values[i] - rawLow.Values[i]);
    // The same light as the reference: absorbance 0 where there is light, 6.0 in the dark first column.
    r = s.GrabAndConvert(list, true, "t");
    const TSpectrumRecord& live = *s.LiveRecord(list);
    EXPECT_EQ(live.YKind, SpecYAbsorbance);
    EXPECT_EQ(live.Values[0], 6.0);
    for (int32_t i = 1; i < 64; ++i) EXPECT_NEAR(live.Values[i], 0.0, 1e-12) << i;
}

TEST_F(WebcamSessionTest, ARegionOfAnotherWidthDropsDarkAndReferenceAndSaysSo) {
    s.Params.UseDark = true;
    s.SaveDarkSpectrum(list, "t");
    s.SaveReferenceSpectrum(list, "t");
    s.Params.RatioMode = true;
    s.Params.MeasYKind = SpecYTransmittance;
    s.UseRoi = true;
    s.ControlWidth = 64;
    s.ControlHeight = 48;
    s.CreateDefaultRoi();  // (50, 50)-(14, -2) normalised and clamped: (14, 0)-(50, 48)
    const TImageRange range = s.ConversionRange();
    EXPECT_EQ(range, (TImageRange{14, 50, 1, 48}));
    const TGrabResult r = s.GrabAndConvert(list, true, "t");
    ASSERT_TRUE(r.Converted);
    ASSERT_EQ(r.Messages.size(), 2u);
    EXPECT_NE(r.Messages[0].find("dark spectrum does not fit"), std::string::npos);
    EXPECT_NE(r.Messages[0].find("64 instead of 37"), std::string::npos);
    EXPECT_NE(r.Messages[1].find("reference spectrum does not fit"), std::string::npos);
    EXPECT_EQ(s.Dark(), nullptr);
    EXPECT_EQ(s.Reference(), nullptr);
    EXPECT_FALSE(s.Params.UseDark);
    EXPECT_FALSE(s.Params.RatioMode);
    EXPECT_EQ(s.Params.MeasYKind, SpecYIntensity);
    EXPECT_EQ(s.LiveRecord(list)->YKind, SpecYIntensity);
    EXPECT_EQ(s.LiveRecord(list)->PointCount(), 37);
}

TEST_F(WebcamSessionTest, StillImagesAreConvertedAndFramesWrittenToTheFrameFile) {
    const auto dir = std::filesystem::temp_directory_path() / ("vx_session_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    s.FramePath = (dir / "cam.bmp").string();
    s.GrabAndConvert(list, true, "t");
    EXPECT_EQ(ReadBitmapFile(s.FramePath).Width, 64);
    // A loaded picture: no camera grab, the frame file not written again.
    std::filesystem::remove(s.FramePath);
    s.SetStillImage(flat(8, 8, 60));
    const TGrabResult r = s.GrabAndConvert(list, true, "t");
    EXPECT_TRUE(r.Converted);
    EXPECT_FALSE(std::filesystem::exists(s.FramePath));
    EXPECT_EQ(s.LiveRecord(list)->PointCount(), 8);
    // A frame file that cannot be written is reported, the spectrum still made.
    s.GrabFromCamera = true;
    s.FramePath = (dir / "missing" / "cam.bmp").string();
    const TGrabResult w = s.GrabAndConvert(list, true, "t");
    EXPECT_TRUE(w.Converted);
    EXPECT_NE(w.Status.find("cam.bmp"), std::string::npos);
    std::filesystem::remove_all(dir);
}

TEST_F(WebcamSessionTest, ATooNarrowRoiKeepsTheSpectrumWithAStatusText) {
    s.GrabAndConvert(list, true, "t");
    const std::vector<double> before = list[0].Values;
    s.UseRoi = true;
    s.EnsureRoi();
    s.Roi()->Last()->First = {10, 10};
    s.Roi()->Last()->Second = {10, 30};
    const TGrabResult r = s.GrabAndConvert(list, true, "t");
    EXPECT_FALSE(r.Converted);
    EXPECT_NE(r.Status.find("fewer than 2 columns"), std::string::npos);
    EXPECT_EQ(list[0].Values, before);
}

TEST_F(WebcamSessionTest, APictureOfFewerThan2ColumnsAddsNoLiveSpectrumAndSaysSo) {
    // A picture one pixel wide, and a region of interest of one column of a wide one.
    s.SetStillImage(flat(1, 30, 90));
    TGrabResult r = s.GrabAndConvert(list, true, "t");
    EXPECT_FALSE(r.Converted);
    EXPECT_FALSE(r.LiveCreated);
    EXPECT_EQ(r.Error, "The region of interest holds fewer than 2 columns of the picture: no live spectrum was added.");
    EXPECT_TRUE(list.Empty());
    EXPECT_EQ(s.LiveRecord(list), nullptr);
    s.SetStillImage(flat(40, 30, 90));
    s.ControlWidth = 40;
    s.ControlHeight = 30;
    s.UseRoi = true;
    s.EnsureRoi();
    s.Roi()->Last()->First = {10, 10};
    s.Roi()->Last()->Second = {10, 30};
    r = s.GrabAndConvert(list, true, "t");
    EXPECT_FALSE(r.Error.empty());
    EXPECT_TRUE(list.Empty());
    // Wide enough again: the live record comes, with the colour of its place.
    s.Roi()->Last()->Second = {20, 30};
    r = s.GrabAndConvert(list, true, "t");
    EXPECT_TRUE(r.Converted);
    EXPECT_TRUE(r.LiveCreated);
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(r.LiveIndex, 0);
    EXPECT_EQ(list[0].PointCount(), 11);
    EXPECT_EQ(list[0].Color, CurveColor(0));
    EXPECT_EQ(s.LiveRecord(list), &list[0]);
    // A new live spectrum asked for (another picture loaded): the old one stays; a narrow one adds none.
    s.NewLiveSpectrum();
    s.Roi()->Last()->Second = {10, 30};
    r = s.GrabAndConvert(list, true, "t");
    EXPECT_FALSE(r.Error.empty());
    EXPECT_EQ(list.Count(), 1);
    s.Roi()->Last()->Second = {30, 30};
    r = s.GrabAndConvert(list, true, "t");
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list[0].PointCount(), 11);
    EXPECT_EQ(list[1].PointCount(), 21);
    EXPECT_EQ(list[1].Color, CurveColor(1));
}

TEST_F(WebcamSessionTest, EveryFrameIsWrittenOverTheSameFrameFileInPlace) {
    const auto dir = std::filesystem::temp_directory_path() / ("vx_scratch_session_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    s.FramePath = (dir / "cam.bmp").string();
    s.GrabAndConvert(list, true, "t");
    struct stat first{}, second{};
    ASSERT_EQ(::stat(s.FramePath.c_str(), &first), 0);
    s.GrabAndConvert(list, true, "t");
    ASSERT_EQ(::stat(s.FramePath.c_str(), &second), 0);
    // The same file, not a new one renamed over it; no temporary file left beside it.
    EXPECT_EQ(first.st_ino, second.st_ino);
    EXPECT_EQ(ReadBitmapFile(s.FramePath).Width, 64);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1);
    std::filesystem::remove_all(dir);
}
