#include "app_test_support.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdlib>
#include <fstream>

#include <QAction>

#include "app/dialogs/tool_dialog.h"
#include "app/file_filters.h"
#include "app/plot/Xygraph.h"
#include "app/qt_ui_backend.h"

namespace {
QTemporaryDir& tempRoot() {
    static QTemporaryDir dir;
    return dir;
}
int settingsCounter = 0;
}  // namespace

void AppTestSetUp() {
    static int argc = 1;
    static char name[] = "shell_test";
    static char* argv[] = {name, nullptr};
    // Never destroyed: tearing Qt down in the exit handlers crashes in its input-device registry.
    static VxApplication* app = new VxApplication(argc, argv);
    (void)app;
    // Every test starts with an empty settings store of its own.
    const QString reg = tempRoot().path() + QString("/registry%1").arg(++settingsCounter);
    QDir().mkpath(reg);
    ::setenv("VAROLUX32_REGISTRY_DIR", reg.toLocal8Bit().constData(), 1);
    SetShellClosing(false);
}

std::string TestFolder() {
    const QString p = tempRoot().path() + "/files";
    QDir().mkpath(p);
    return p.toStdString() + "/";
}

std::string WriteTestFile(const std::string& name, const std::string& bytes) {
    const std::string path = TestFolder() + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

std::unique_ptr<TSpectrumRecord> MakeRecord(double firstX, double stepX, std::vector<double> values, SpecXUnit xUnit,
                                            SpecYKind yKind, int32_t kind, const std::string& title) {
    auto r = std::make_unique<TSpectrumRecord>();
    r->FirstX = firstX;
    r->StepX = stepX;
    r->Values = std::move(values);
    r->XUnit = xUnit;
    r->YKind = yKind;
    r->SourceKind = kind;
    r->Title = title;
    return r;
}

void ShellWindowTest::SetUp() {
    AppTestSetUp();
    w_ = std::make_unique<TMainwin>();
}

void ShellWindowTest::TearDown() {
    SetModalRunner(nullptr);
    SetFileDialogRunner(nullptr);
    w_.reset();
    SpectraList.Clear();
}

TXYPlot& ShellWindowTest::plot() { return *w_->XYPlot(); }

void ShellWindowTest::Trigger(const char* name) {
    QAction* a = w_->Action(name);
    ASSERT_NE(a, nullptr) << name;
    ASSERT_TRUE(a->isEnabled()) << name;
    a->trigger();
}

void PumpEvents(int ms) {
    QElapsedTimer t;
    t.start();
    do {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    } while (t.elapsed() < ms);
}
