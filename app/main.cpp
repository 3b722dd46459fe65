// The program block: application, start-up window, main window, message loop.
#include <memory>
#include <string>
#include <vector>

#include "app/TMainwin.h"
#include "app/dialogs/TSStart.h"
#include "app/qt_ui_backend.h"
#include "platform/numtext.h"

int main(int argc, char** argv) {
    VxApplication app(argc, argv);
    QApplication::setApplicationName("Varolux32");
    QApplication::setApplicationDisplayName("Varolux32");
    numtext::initFromLocale();
    InstallQtUi();

    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);

    {
        TSStart start;
        start.show();
        start.FormActivate();
        start.hide();
    }

    auto mainwin = std::make_unique<TMainwin>(args);
    mainwin->show();
    const int rc = app.exec();
    mainwin.reset();
    return rc;
}
