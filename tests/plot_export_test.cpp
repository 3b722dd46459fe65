#include <gtest/gtest.h>

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QFile>
#include <QFileInfo>
#include <QDir>
#include <QPdfWriter>
#include <QPrinter>
#include <QTemporaryDir>

#include <gif_lib.h>
#include <png.h>
#include <tiffio.h>

#include <cstring>
#include <filesystem>

#include "app/plot/emf_device.h"
#include "app/plot/image_writers.h"
#include "platform/errors.h"
#include "platform/ui.h"
#include "tests/plot_fixture.h"

namespace {

// ---- decoders, with the same libraries, into 0xFFRRGGBB images

QImage DecodePng(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    png_image img;
    std::memset(&img, 0, sizeof img);
    img.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&img, bytes.constData(), static_cast<size_t>(bytes.size()))) return {};
    EXPECT_EQ(img.format & PNG_FORMAT_FLAG_ALPHA, 0u);
    img.format = PNG_FORMAT_BGRA;
    QImage out(static_cast<int>(img.width), static_cast<int>(img.height), QImage::Format_ARGB32);
    if (!png_image_finish_read(&img, nullptr, out.bits(), static_cast<png_int_32>(out.bytesPerLine()), nullptr)) return {};
    return out.convertToFormat(QImage::Format_RGB32);
}

QImage DecodeTiff(const QString& path, uint16_t* compression) {
    TIFF* tif = TIFFOpen(path.toLocal8Bit().constData(), "r");
    if (!tif) return {};
    uint32_t w = 0, h = 0;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &w);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &h);
    TIFFGetField(tif, TIFFTAG_COMPRESSION, compression);
    std::vector<uint32_t> raster(static_cast<std::size_t>(w) * h);
    QImage out;
    if (TIFFReadRGBAImageOriented(tif, w, h, raster.data(), ORIENTATION_TOPLEFT, 0)) {
        out = QImage(static_cast<int>(w), static_cast<int>(h), QImage::Format_RGB32);
        for (uint32_t y = 0; y < h; ++y)
            for (uint32_t x = 0; x < w; ++x) {
                const uint32_t p = raster[y * w + x];
                out.setPixel(static_cast<int>(x), static_cast<int>(y), qRgb(TIFFGetR(p), TIFFGetG(p), TIFFGetB(p)));
            }
    }
    TIFFClose(tif);
    return out;
}

QImage DecodeGif(const QString& path) {
    int err = 0;
    GifFileType* gif = DGifOpenFileName(path.toLocal8Bit().constData(), &err);
    if (!gif) return {};
    QImage out;
    if (DGifSlurp(gif) == GIF_OK && gif->ImageCount == 1) {
        const SavedImage& im = gif->SavedImages[0];
        const ColorMapObject* map = im.ImageDesc.ColorMap ? im.ImageDesc.ColorMap : gif->SColorMap;
        out = QImage(gif->SWidth, gif->SHeight, QImage::Format_RGB32);
        for (int y = 0; y < gif->SHeight; ++y)
            for (int x = 0; x < gif->SWidth; ++x) {
                const GifColorType c = map->Colors[im.RasterBits[y * gif->SWidth + x]];
                out.setPixel(x, y, qRgb(c.Red, c.Green, c.Blue));
            }
    }
    DGifCloseFile(gif, &err);
    return out;
}

uint32_t Le32(const QByteArray& b, int at) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<uint8_t>(b[at + i]);
    return v;
}

QImage DecodeBmp(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray b = f.readAll();
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') return {};
    EXPECT_EQ(Le32(b, 2), static_cast<uint32_t>(b.size()));
    EXPECT_EQ(static_cast<uint8_t>(b[28]), 24);
    const int w = static_cast<int>(Le32(b, 18)), h = static_cast<int>(Le32(b, 22));
    const int off = static_cast<int>(Le32(b, 10));
    const int row = (w * 3 + 3) & ~3;
    if (off + row * h > b.size()) return {};
    QImage out(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        const char* src = b.constData() + off + (h - 1 - y) * row;
        for (int x = 0; x < w; ++x)
            out.setPixel(x, y, qRgb(static_cast<uint8_t>(src[3 * x + 2]), static_cast<uint8_t>(src[3 * x + 1]),
                                    static_cast<uint8_t>(src[3 * x])));
    }
    return out;
}

class PlotExport : public ::testing::Test {
protected:
    void SetUp() override {
        resetPlotTestState();
        plot = makeStartPlot(1000, 500);
        plot->SetKurvenAnzahl(3);
        for (int n = 1; n <= 3; ++n) {
            fillBand(*plot, n, 400, 300, 900, 0.4 * n);
            plot->SetCurveName(n, QString("Curve %1").arg(n));
        }
        plot->SetCurveStyle(2, 1, 1);
        plot->SetCurveStyle(3, 2, 3);
        plot->SecondXAxisOn = true;
        plot->RenderToImage();  // the screen layout the exports use
        ASSERT_TRUE(dir.isValid());
    }
    QString path(const char* name) const { return dir.filePath(name); }

    std::unique_ptr<TXYPlot> plot;
    QTemporaryDir dir;
};

TEST_F(PlotExport, EveryBitmapFormatDecodesToTheRenderedPixels) {
    const QImage big = plot->ExportImage({1350, 900});
    EXPECT_EQ(big.size(), QSize(1350, 675));  // the proportions of a 1000 x 500 plot
    const QImage small = plot->ExportImage({1000, 680});
    EXPECT_EQ(small.size(), QSize(1000, 500));
    dumpImage(big, "export");

    plot->SavePng(path("p.png"));
    EXPECT_EQ(DecodePng(path("p.png")), big);

    plot->SaveTiff(path("p.tif"));
    uint16_t compression = 0;
    EXPECT_EQ(DecodeTiff(path("p.tif"), &compression), big);
    EXPECT_EQ(compression, COMPRESSION_LZW);
    QFile tif(path("p.tif"));
    ASSERT_TRUE(tif.open(QIODevice::ReadOnly));
    EXPECT_EQ(tif.read(4), QByteArray("II*\0", 4));

    plot->SaveBmp(path("p.bmp"));
    EXPECT_EQ(DecodeBmp(path("p.bmp")), small);

    plot->SaveGif(path("p.gif"));
    EXPECT_EQ(DecodeGif(path("p.gif")), plotimage::ReducedImage(big));
}

TEST_F(PlotExport, GifKeepsExactColoursUpTo256AndFallsBackToACube) {
    QImage few(16, 16, QImage::Format_RGB32);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) few.setPixel(x, y, qRgb(x * 16 + 1, y * 16 + 2, 77));
    const plotimage::Palette exact = plotimage::ReduceColors(few);
    EXPECT_TRUE(exact.exact);
    EXPECT_EQ(exact.colors.size(), 256u);
    EXPECT_EQ(plotimage::ReducedImage(few), few);

    QImage many(17, 16, QImage::Format_RGB32);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 17; ++x) many.setPixel(x, y, qRgb(x * 15, y * 16, 200));
    const plotimage::Palette cube = plotimage::ReduceColors(many);
    EXPECT_FALSE(cube.exact);
    EXPECT_EQ(cube.colors.size(), 216u);
    EXPECT_EQ(plotimage::ReducedImage(many).pixel(0, 0), qRgb(0, 0, 204));
}

TEST_F(PlotExport, ExportOfAZeroSizePlotIsAClearError) {
    plot->resize(0, 0);
    EXPECT_THROW(plot->ExportImage({1350, 900}), vx::Error);
    EXPECT_THROW(plot->MetafileBytes(), vx::Error);
    plot->resize(675, 450);
    EXPECT_EQ(plot->ExportImage({1350, 900}).size(), QSize(1350, 900));
}

TEST_F(PlotExport, ExportsLeaveTheScreenPictureAsItWas) {
    const QImage before = plot->RenderToImage();
    plot->MetafileBytes();
    plot->ExportImage({1350, 900});
    EXPECT_EQ(plot->RenderToImage(), before);
}

TEST_F(PlotExport, MetafileIsWellFormed) {
    const QByteArray emf = plot->MetafileBytes();
    ASSERT_GE(emf.size(), 108 + 20);
    EXPECT_EQ(Le32(emf, 0), emf::kHeader);
    EXPECT_EQ(Le32(emf, 40), emf::kSignature);
    EXPECT_EQ(Le32(emf, 48), static_cast<uint32_t>(emf.size()));  // nBytes
    // bounds: twice the client size
    EXPECT_EQ(Le32(emf, 16), 1999u);
    EXPECT_EQ(Le32(emf, 20), 999u);
    // every record's size adds up, the count matches, the last one is EOF
    uint32_t records = 0, at = 0, last = 0;
    while (at < static_cast<uint32_t>(emf.size())) {
        const uint32_t size = Le32(emf, static_cast<int>(at + 4));
        ASSERT_GE(size, 8u);
        ASSERT_EQ(size % 4, 0u);
        last = Le32(emf, static_cast<int>(at));
        at += size;
        ++records;
    }
    EXPECT_EQ(at, static_cast<uint32_t>(emf.size()));
    EXPECT_EQ(Le32(emf, 52), records);
    EXPECT_EQ(last, emf::kEof);
    // the description: created by, then description, UTF-16
    const uint32_t nDesc = Le32(emf, 60), offDesc = Le32(emf, 64);
    const QString desc = QString::fromUtf16(reinterpret_cast<const char16_t*>(emf.constData() + offDesc),
                                            static_cast<qsizetype>(nDesc));
    EXPECT_EQ(desc, QString::fromUtf16(u"Graph Made by Varolux32\0Varolux32 v1.72.2p\0\0", 44));
    EXPECT_TRUE(emf.contains(QByteArray("A\0r\0i\0a\0l\0", 10)) || emf.contains(QByteArray("L\0i\0b\0", 6)));
}

TEST_F(PlotExport, MetafileGoesToTheNamedFile) {
    plot->MetafileName = path("plot.wmf");
    plot->SaveMetafile(false);
    QFile f(path("plot.wmf"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(Le32(f.readAll(), 40), emf::kSignature);
}

TEST_F(PlotExport, ImagesReplaceThroughALinkKeepingTheBits) {
    const QString real = path("real.png"), link = path("link.png");
    {
        QFile f(real);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("old");
    }
    ASSERT_TRUE(QFile::setPermissions(real, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup));
    ASSERT_TRUE(QFile::link(real, link));
    plot->SavePng(link);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(DecodePng(real), plot->ExportImage({1350, 900}));
    EXPECT_EQ(std::filesystem::status(real.toStdString()).permissions() & std::filesystem::perms::all,
              std::filesystem::perms(0640));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::System).size(), 2);  // no temporary left
    EXPECT_THROW(plot->SaveBmp(path("missing/x.bmp")), vx::FileError);
}

TEST_F(PlotExport, PrintingToPdfMakesAPageAndCountsJobs) {
    ui::ScopedScriptedBackend ui;
    plot->Host.delay = [](int) {};
    int polls = 0;
    plot->Host.printerBusy = [&polls] { return ++polls < 3; };
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path("plot.pdf"));
    plot->PrintPlot(printer);
    EXPECT_EQ(polls, 3);
    EXPECT_TRUE(ui->messages.empty());
    EXPECT_EQ(printer.docName(), "Varolux32 print job No.. 1");
    QFile pdf(path("plot.pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    EXPECT_TRUE(bytes.contains("/Type /Page"));

    printer.setOutputFileName(path("plot2.pdf"));
    plot->PrintPlot(printer);
    plot->PrintPlot(printer);
    EXPECT_EQ(printer.docName(), "Varolux32 print job No.. 3");
}

TEST_F(PlotExport, BusyPrinterWarnsOnlyWhenTheNinthPollIsStillBusy) {
    ui::ScopedScriptedBackend ui;
    plot->Host.delay = [](int) {};
    int polls = 0;
    plot->Host.printerBusy = [&polls] { return ++polls < 9; };  // free at the ninth read
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path("a.pdf"));
    plot->PrintPlot(printer);
    EXPECT_TRUE(ui->messages.empty());
    EXPECT_EQ(plot->PrintJobCount(), 1);

    polls = 0;
    plot->Host.printerBusy = [&polls] { ++polls; return true; };
    printer.setOutputFileName(path("b.pdf"));
    plot->PrintPlot(printer);
    EXPECT_EQ(polls, 9);
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(ui->messages[0], "printer busy");
    EXPECT_EQ(plot->PrintJobCount(), 1);
    EXPECT_FALSE(QFile::exists(path("b.pdf")));
}

}  // namespace

namespace {

TEST_F(PlotExport, ClipboardCopyCarriesTheMetafile) {
    plot->SaveMetafile(true);
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(mime, nullptr);
    const QByteArray emf = mime->data("image/x-emf");
    ASSERT_GE(emf.size(), 108);
    EXPECT_EQ(Le32(emf, 40), emf::kSignature);
    EXPECT_EQ(Le32(emf, 48), static_cast<uint32_t>(emf.size()));
    // Beside it the same picture as PNG, for programs that cannot read a metafile: twice the control's
    // size, as the metafile.
    const QByteArray png = mime->data("image/png");
    ASSERT_TRUE(png.startsWith("\x89PNG"));
    QFile f(path("clip.png"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(png);
    f.close();
    const QImage picture = DecodePng(path("clip.png"));
    EXPECT_EQ(picture.size(), QSize(2000, 1000));
    EXPECT_EQ(picture, plot->MetafileImage());
    EXPECT_EQ(picture.pixel(0, 0), qRgb(255, 255, 255));
}

TEST_F(PlotExport, ExportScaleFollowsThePlotProportions) {
    struct Case { QSize client, nominal, want; };
    for (const Case& c : {Case{{1000, 500}, {1350, 900}, {1350, 675}}, Case{{1000, 500}, {1000, 680}, {1000, 500}},
                          Case{{500, 1000}, {1350, 900}, {450, 900}}, Case{{1350, 900}, {1350, 900}, {1350, 900}}}) {
        plot->resize(c.client);
        EXPECT_EQ(plot->ExportImage(c.nominal).size(), c.want) << c.client.width() << "x" << c.client.height();
    }
}

}  // namespace

namespace {

// The records of a metafile after its header: (type, offset).
std::vector<std::pair<uint32_t, int>> EmfRecords(const QByteArray& emf) {
    std::vector<std::pair<uint32_t, int>> out;
    int at = static_cast<int>(Le32(emf, 4));
    while (at + 8 <= emf.size()) {
        out.emplace_back(Le32(emf, at), at);
        const uint32_t size = Le32(emf, at + 4);
        if (size < 8) break;
        at += static_cast<int>(size);
    }
    return out;
}

constexpr uint32_t kTeal = 0x00808000;  // 0x00BBGGRR
const QRgb kTealRgb = qRgb(0x00, 0x80, 0x80);

TEST_F(PlotExport, BackgroundFollowsTheWindowColourOnScreenAndInEveryImage) {
    plot->Host.windowColor = [] { return kTeal; };
    plot->DrawAsLines = false;  // hollow symbols show the background inside
    plot->SetCurveSymbol(1, 6, 1);
    const QImage screen = plot->RenderToImage();
    dumpImage(screen, "background");
    const QRect area = plot->PlotArea();
    for (QPoint p : {QPoint(0, 0), QPoint(screen.width() - 1, screen.height() - 1), area.topLeft() + QPoint(3, 30)})
        EXPECT_EQ(screen.pixel(p), kTealRgb) << p.x() << "," << p.y();
    EXPECT_EQ(plot->BackgroundColor(), kTeal);

    const QImage big = plot->ExportImage({1350, 900});
    for (QPoint p : {QPoint(0, 0), QPoint(big.width() - 1, big.height() - 1), QPoint(big.width() / 2, big.height() - 2)})
        EXPECT_EQ(big.pixel(p), kTealRgb) << p.x() << "," << p.y();
    plot->SavePng(path("bg.png"));
    EXPECT_EQ(DecodePng(path("bg.png")).pixel(0, 0), kTealRgb);
    plot->SaveBmp(path("bg.bmp"));
    EXPECT_EQ(DecodeBmp(path("bg.bmp")).pixel(5, 5), kTealRgb);
    uint16_t compression = 0;
    plot->SaveTiff(path("bg.tif"));
    EXPECT_EQ(DecodeTiff(path("bg.tif"), &compression).pixel(5, 5), kTealRgb);
    plot->SaveGif(path("bg.gif"));
    EXPECT_EQ(DecodeGif(path("bg.gif")).pixel(5, 5), kTealRgb);

    // Without a host the plot stands on white.
    plot->Host.windowColor = nullptr;
    EXPECT_EQ(plot->RenderToImage().pixel(0, 0), qRgb(255, 255, 255));
}

TEST_F(PlotExport, MetafileStartsWithABackgroundOverTheWholePicture) {
    plot->Host.windowColor = [] { return kTeal; };
    const QByteArray emf = plot->MetafileBytes();
    const auto records = EmfRecords(emf);
    // The first drawing record is a rectangle over the whole picture (2000 x 1000), filled with the
    // brush last created before it, without an outline.
    uint32_t brushColor = 0xFFFFFFFF, penStyle = 0xFFFFFFFF;
    bool found = false;
    for (const auto& [type, at] : records) {
        if (type == emf::kCreateBrushIndirect) brushColor = Le32(emf, at + 16);
        if (type == emf::kCreatePen) penStyle = Le32(emf, at + 12);
        if (type == emf::kLineTo || type == emf::kPolyline || type == emf::kExtTextOutW) break;
        if (type == emf::kRectangle) {
            EXPECT_LE(static_cast<int32_t>(Le32(emf, at + 8)), 0);
            EXPECT_LE(static_cast<int32_t>(Le32(emf, at + 12)), 0);
            EXPECT_GE(static_cast<int32_t>(Le32(emf, at + 16)), 2000);
            EXPECT_GE(static_cast<int32_t>(Le32(emf, at + 20)), 1000);
            found = true;
            break;
        }
    }
    ASSERT_TRUE(found);
    EXPECT_EQ(brushColor, kTeal);
    EXPECT_EQ(penStyle, 5u);  // PS_NULL
}

}  // namespace
