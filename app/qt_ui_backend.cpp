#include "app/qt_ui_backend.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QThread>
#include <QUrl>

#include "app/app_version.h"
#include "app/query_dialogs.h"
#include "core/helpers.h"
#include "platform/anchor_redirect.h"
#include "platform/errors.h"

namespace {

bool closingFlag = false;
int waitDepth = 0;

QString Q(const std::string& s) { return QString::fromStdString(s); }

QMessageBox::StandardButtons ToQtButtons(ui::Buttons b) {
    switch (b) {
    case ui::Buttons::Ok: return QMessageBox::Ok;
    case ui::Buttons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case ui::Buttons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case ui::Buttons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case ui::Buttons::AbortRetryIgnore: return QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon ToQtIcon(ui::Icon i) {
    switch (i) {
    case ui::Icon::None: return QMessageBox::NoIcon;
    case ui::Icon::Information: return QMessageBox::Information;
    case ui::Icon::Warning: return QMessageBox::Warning;
    case ui::Icon::Error: return QMessageBox::Critical;
    case ui::Icon::Question: return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

ui::Answer FromQt(int button) {
    switch (button) {
    case QMessageBox::Ok: return ui::Answer::Ok;
    case QMessageBox::Cancel: return ui::Answer::Cancel;
    case QMessageBox::Abort: return ui::Answer::Abort;
    case QMessageBox::Retry: return ui::Answer::Retry;
    case QMessageBox::Ignore: return ui::Answer::Ignore;
    case QMessageBox::Yes: return ui::Answer::Yes;
    case QMessageBox::No: return ui::Answer::No;
    default: return ui::Answer::Cancel;  // closed with Escape or the title bar
    }
}

}  // namespace

void QtUiBackend::showMessage(const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, QGuiApplication::applicationDisplayName(), Q(text),
                    QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

ui::Answer QtUiBackend::messageBox(const std::string& text, const std::string& caption, ui::Buttons buttons,
                                   ui::Icon icon) {
    QMessageBox box(ToQtIcon(icon), Q(caption), Q(text), ToQtButtons(buttons), QApplication::activeWindow());
    return FromQt(box.exec());
}

bool QtUiBackend::ask(ui::Query& query) { return runQueryDialog(query); }

namespace {
std::function<bool(const QUrl&)>& desktopOpener() {
    static std::function<bool(const QUrl&)> opener;
    return opener;
}
}  // namespace

void SetDesktopOpener(std::function<bool(const QUrl&)> opener) { desktopOpener() = std::move(opener); }

bool QtUiBackend::openUrl(const std::string& url) {
    QUrl target(Q(url));
    if (url.rfind("file://", 0) == 0 && url.find('#') != std::string::npos) {
        // Without the page (no private temporary folder) the URL goes as it is.
        const std::string page = WriteAnchorRedirectPage(url);
        if (!page.empty()) target = QUrl::fromLocalFile(Q(page));
    }
    return desktopOpener() ? desktopOpener()(target) : QDesktopServices::openUrl(target);
}

std::string QtUiBackend::clipboardText() { return QGuiApplication::clipboard()->text().toStdString(); }

void QtUiBackend::setClipboardText(const std::string& text) { QGuiApplication::clipboard()->setText(Q(text)); }

namespace {
TStatusSink& statusSink() {
    static TStatusSink sink;
    return sink;
}
}  // namespace

void SetStatusSink(TStatusSink sink) { statusSink() = std::move(sink); }

void ClearStatusSink(const void* owner) {
    if (statusSink().Owner == owner) statusSink() = {};
}

void QtUiBackend::setStatus(int panel, const std::string& text) {
    if (statusSink().SetText) statusSink().SetText(panel, Q(text));
}

void QtUiBackend::setProgress(int value, int maximum) {
    if (statusSink().SetProgress) statusSink().SetProgress(value, maximum);
}

int32_t GetScreenBitsPerPixel() {
    const QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->depth() : 0;
}

void InstallQtUi() {
    ui::setBackend(std::make_shared<QtUiBackend>());
    SetDelayHandler([](int32_t ms) { QtDelay(ms); });
}

void ShowErrorBox(const std::string& text) {
    ui::messageBox(text, kProgramName, ui::Buttons::Ok, ui::Icon::Error);
}

bool RunGuarded(const std::function<void()>& fn) {
    try {
        fn();
        return true;
    } catch (const vx::Cancelled&) {
        // The user's own cancel ends the command without a message.
    } catch (const std::exception& e) {
        ShowErrorBox(e.what());
    } catch (...) {
        ShowErrorBox("Unknown error");
    }
    return false;
}

VxApplication::VxApplication(int& argc, char** argv) : QApplication(argc, argv) {
    // The name only: a display name of its own would be appended by Qt to every window title that
    // does not end with it ("Varolux32 version 1.72.2p — Varolux32"). Message boxes take the name as
    // their caption all the same.
    setApplicationName(kProgramName);
}

bool VxApplication::notify(QObject* receiver, QEvent* event) {
    bool result = false;
    RunGuarded([&] { result = QApplication::notify(receiver, event); });
    return result;
}

void SetShellClosing(bool closing) { closingFlag = closing; }
bool ShellClosing() { return closingFlag; }
int ActiveWaits() { return waitDepth; }

namespace {
class InputFilter : public QObject {
public:
    bool eventFilter(QObject*, QEvent* e) override {
        switch (e->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TabletPress:
        case QEvent::TabletRelease:
        case QEvent::DragEnter:
        case QEvent::Drop: return true;
        default: return false;
        }
    }
};
}  // namespace

TBusyCursor::TBusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }

TBusyCursor::~TBusyCursor() { QApplication::restoreOverrideCursor(); }

TUserInputBlock::TUserInputBlock() : filter_(std::make_unique<InputFilter>()) {
    QCoreApplication::instance()->installEventFilter(filter_.get());
}

TUserInputBlock::~TUserInputBlock() {
    if (QCoreApplication::instance()) QCoreApplication::instance()->removeEventFilter(filter_.get());
}

void TUserInputBlock::ProcessEvents() {
    ++waitDepth;
    QCoreApplication::processEvents();
    --waitDepth;
}

void QtDelay(int ms) {
    if (ms <= 0 || closingFlag) return;
    ++waitDepth;
    QElapsedTimer timer;
    timer.start();
    while (!closingFlag && timer.elapsed() < ms) {
        const qint64 left = ms - timer.elapsed();
        QCoreApplication::processEvents(QEventLoop::AllEvents, static_cast<int>(std::min<qint64>(left, 20)));
        if (!closingFlag && timer.elapsed() < ms) QThread::msleep(1);
    }
    --waitDepth;
}
