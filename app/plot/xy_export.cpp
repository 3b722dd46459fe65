// Image export, metafile, clipboard copy and printing of the XY plot: all through its one paint routine.
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QFile>

#include <cmath>
#include <functional>

#include "app/plot/Xygraph.h"
#include "app/plot/emf_device.h"
#include "app/plot/image_writers.h"
#include "core/helpers.h"
#include "platform/errors.h"
#include "platform/safe_file.h"
#include "platform/ui.h"

namespace {

const QString kDescription = QStringLiteral("Varolux32 v1.72.2p");

void WriteWhole(const QString& fileName, const QByteArray& bytes) {
    // The old file stays until the new one is complete (the one safe path of every writer).
    safefile::WriteFileOrThrow(QFile::encodeName(fileName).toStdString(),
                               {std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()))});
}

}  // namespace

QImage TXYPlot::ExportImage(QSize nominal) {
    if (!layoutDone_ || Dirty) UpdateLayout();
    if (width() <= 0 || height() <= 0) throw vx::Error("The plot has no size to export (is the window minimised?).");
    // The scale and the proportions are the plot's own, as for the metafile: the picture fills the image.
    const double fx = static_cast<double>(nominal.width()) / width();
    const double fy = static_cast<double>(nominal.height()) / height();
    double s;
    QSize out = nominal;
    if (fx > fy) {
        s = fy;
        out.setWidth(static_cast<int>(std::nearbyint(nominal.width() * fy / fx)));
    } else {
        s = fx;
        out.setHeight(static_cast<int>(std::nearbyint(nominal.height() * fx / fy)));
    }
    QImage img(std::max(out.width(), 1), std::max(out.height(), 1), QImage::Format_RGB32);
    QPainter p(&img);
    renderWith(p, s, Order::Export, dotLen_, dashLen_, gapLen_, true);
    return img;
}

void TXYPlot::SaveGif(const QString& fileName) { WriteWhole(fileName, plotimage::EncodeGif(ExportImage({1350, 900}))); }
void TXYPlot::SaveTiff(const QString& fileName) { WriteWhole(fileName, plotimage::EncodeTiff(ExportImage({1350, 900}))); }
void TXYPlot::SavePng(const QString& fileName) { WriteWhole(fileName, plotimage::EncodePng(ExportImage({1350, 900}))); }
void TXYPlot::SaveBmp(const QString& fileName) { WriteWhole(fileName, plotimage::EncodeBmp(ExportImage({1000, 680}))); }

QByteArray TXYPlot::MetafileBytes(const QString& createdBy) {
    if (!layoutDone_ || Dirty) UpdateLayout();
    if (width() <= 0 || height() <= 0) throw vx::Error("The plot has no size to export (is the window minimised?).");
    const QSize size(2 * width(), 2 * height());
    TEmfDevice device(size, createdBy, kDescription);
    {
        QPainter p(&device);
        // The metafile's own dash lengths; the screen's stay as they are.
        const double w = size.width();
        renderWith(p, 2.0, Order::Export, w / 200.0, w / 80.0, w / 100.0, false);
    }
    return device.bytes();
}

QImage TXYPlot::MetafileImage() {
    if (!layoutDone_ || Dirty) UpdateLayout();
    if (width() <= 0 || height() <= 0) throw vx::Error("The plot has no size to export (is the window minimised?).");
    QImage img(2 * width(), 2 * height(), QImage::Format_RGB32);
    QPainter p(&img);
    const double w = img.width();
    renderWith(p, 2.0, Order::Export, w / 200.0, w / 80.0, w / 100.0, true);
    return img;
}

void TXYPlot::SaveMetafile(bool toClipboard) {
    const QByteArray bytes = MetafileBytes();
    if (toClipboard) {
        auto* mime = new QMimeData;
        mime->setData(QStringLiteral("image/x-emf"), bytes);
        // Most programs on this platform cannot read a metafile; they paste the same picture as PNG.
        mime->setData(QStringLiteral("image/png"), plotimage::EncodePng(MetafileImage()));
        QGuiApplication::clipboard()->setMimeData(mime);
    } else {
        WriteWhole(MetafileName, bytes);
    }
}

bool TXYPlot::PrinterInstalled() const {
    return Host.printerInstalled ? Host.printerInstalled() : !QPrinterInfo::availablePrinters().isEmpty();
}

void TXYPlot::PrintPlot() {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) return;
    QPrinter printer(info, QPrinter::HighResolution);
    PrintPlot(printer);
}

void TXYPlot::PrintPlot(QPrinter& printer) {
    std::function<bool()> busyProbe = Host.printerBusy;
    if (!busyProbe && printer.outputFormat() == QPrinter::NativeFormat) {
        const QString name = printer.printerName();
        busyProbe = [name] { return QPrinterInfo::printerInfo(name).state() == QPrinter::Active; };
    }
    if (busyProbe) {
        for (int poll = 1; poll <= 9; ++poll) {
            if (Host.delay)
                Host.delay(300);
            else
                DelayWithMessages(300);
            const bool busy = busyProbe();
            if (!busy) break;
            if (poll == 9) {
                ui::messageBox("printer busy", "Warning", ui::Buttons::Ok, ui::Icon::Warning);
                return;
            }
        }
    }
    if (!layoutDone_ || Dirty) UpdateLayout();
    ++printJobs_;
    printer.setDocName(QStringLiteral("Varolux32 print job No.. ") + QString::number(printJobs_));
    if (width() <= 0 || height() <= 0) throw vx::Error("The plot has no size to print (is the window minimised?).");
    QPainter p;
    if (!p.begin(&printer)) throw vx::Error("The printer could not start the print job.");
    // The picture of twice the control's size is stretched over the whole page.
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    const double w = 2.0 * width(), h = 2.0 * height();
    p.scale(page.width() / w, page.height() / h);
    renderWith(p, 2.0, Order::Printer, w / 200.0, w / 80.0, w / 100.0, false);
    p.end();
}
