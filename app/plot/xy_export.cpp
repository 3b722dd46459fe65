// Image export, metafile, clipboard copy and printing of the XY plot.
#include <QPainter>

#include "app/plot/Xygraph.h"

QImage TXYPlot::ExportImage(QSize nominal) { (void)nominal; return RenderToImage(); }
QByteArray TXYPlot::MetafileBytes(const QString&) { return {}; }
void TXYPlot::SaveMetafile(bool) {}
void TXYPlot::SaveGif(const QString&) {}
void TXYPlot::SaveTiff(const QString&) {}
void TXYPlot::SavePng(const QString& fileName) { RenderToImage().save(fileName, "PNG"); }
void TXYPlot::SaveBmp(const QString&) {}
void TXYPlot::PrintPlot() {}
void TXYPlot::PrintPlot(QPrinter&) {}
