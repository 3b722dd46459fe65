// Test main of the dialog tests: one QApplication for all of them (offscreen), waits that keep
// processing events, and a settings folder of their own.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>

#include <filesystem>

#include "app/qt_ui_backend.h"
#include "core/helpers.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    auto dir = std::filesystem::temp_directory_path() / "vx_dialogs_registry";
    std::filesystem::create_directories(dir);
    qputenv("VAROLUX32_REGISTRY_DIR", QByteArray::fromStdString(dir.string()));
    QApplication app(argc, argv);
    SetDelayHandler([](int32_t ms) { QtDelay(ms); });
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
