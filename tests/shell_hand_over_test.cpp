// One running window: a second start hands its files over a local socket. In this process the
// receiving side and a start that finds no answer; then real processes of the program.
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QLocalSocket>
#include <QProcess>
#include <QProcessEnvironment>
#include <QThread>

#include <cstring>
#include <filesystem>

#include "app/TMainwin.h"
#include "app/recent_files.h"
#include "app/single_instance.h"
#include "app_test_support.h"
#include "core/spectra_list.h"
#include "formats/rvx.h"
#include "platform/hand_over.h"
#include "platform/registry.h"
#include "platform/ui.h"
#include "tools/options_store.h"

namespace {

namespace fs = std::filesystem;

QString SocketPath() {
    const QString name = QString::fromStdString(handover::SocketName(registry::storeFolder()));
    return name.startsWith('/') ? name : QDir::tempPath() + "/" + name;
}

// An RVX file of one spectrum, named as given, in the test folder.
std::string WriteRvx(const std::string& name, const std::string& title) {
    TSpectraList list;
    list.Add(MakeRecord(400, 1, {0.1, 0.2, 0.3}, 1, 2, 0, title));
    const std::string path = TestFolder() + name;
    SaveRvxFile(path, list);
    return path;
}

class HandOver : public ::testing::Test {
protected:
    void SetUp() override {
        AppTestSetUp();
        SpectraList.Clear();
        InstanceSwitch = 0;
        one_ = std::make_unique<TMZOneInstance>();
        ASSERT_EQ(one_->Create({}), TMZOneInstance::TStart::Alone);
        ASSERT_TRUE(one_->Listening());
        w_ = std::make_unique<TMainwin>();
    }
    void TearDown() override {
        one_.reset();
        w_.reset();
        InstanceSwitch = 1;
        SpectraList.Clear();
    }
    // Sends raw bytes as a second start would and returns the answer (0: none within 3 s).
    char Send(const std::string& bytes) {
        QLocalSocket s;
        s.connectToServer(QString::fromStdString(handover::SocketName(registry::storeFolder())));
        QElapsedTimer t;
        t.start();
        while (s.state() != QLocalSocket::ConnectedState && t.elapsed() < 3000) PumpEvents(5);
        s.write(bytes.data(), static_cast<qint64>(bytes.size()));
        while (s.bytesAvailable() < 1 && s.state() == QLocalSocket::ConnectedState && t.elapsed() < 3000)
            PumpEvents(5);
        char answer = 0;
        if (s.bytesAvailable() > 0) s.read(&answer, 1);
        return answer;
    }
    ui::ScopedScriptedBackend ui_;
    std::unique_ptr<TMZOneInstance> one_;
    std::unique_ptr<TMainwin> w_;
};

}  // namespace

TEST_F(HandOver, NamesWithBlanksAndSemicolonsOpenOnceTheWindowIsThere) {
    const std::string a = WriteRvx("first one;1.rvx", "first");
    const std::string b = WriteRvx("second; two.rvx", "second");
    EXPECT_EQ(Send(handover::EncodeMessage({b, a})), handover::kAccepted);
    PumpEvents(20);
    EXPECT_EQ(SpectraList.Count(), 0);  // no window to open them yet
    EXPECT_EQ(one_->Waiting().size(), 2u);
    one_->SetReceiver(w_.get());
    ASSERT_EQ(SpectraList.Count(), 2);
    EXPECT_EQ(SpectraList[0].Title.str(), "first");  // read in sorted order, as by Open
    EXPECT_EQ(SpectraList[1].Title.str(), "second");
    EXPECT_EQ(w_->RecentFiles().Names(), (std::vector<std::string>{b, a}));
    EXPECT_TRUE(w_->PendingFiles.empty());
    EXPECT_TRUE(one_->Waiting().empty());
}

TEST_F(HandOver, AnswerComesAtOnceAndTheFilesWaitForAModalDialog) {
    one_->SetReceiver(w_.get());
    const std::string a = WriteRvx("modal.rvx", "m");
    QDialog busy(w_.get());
    busy.setModal(true);
    busy.show();
    PumpEvents(10);
    ASSERT_NE(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(Send(handover::EncodeMessage({a})), handover::kAccepted);
    PumpEvents(300);
    EXPECT_EQ(SpectraList.Count(), 0);
    busy.close();
    PumpEvents(500);
    EXPECT_EQ(SpectraList.Count(), 1);
    // Only the front: nothing to open.
    EXPECT_EQ(Send(handover::EncodeMessage({})), handover::kAccepted);
    EXPECT_EQ(SpectraList.Count(), 1);
}

TEST_F(HandOver, SeveralInstancesAllowedOrAMalformedMessageOpenNothing) {
    one_->SetReceiver(w_.get());
    const std::string a = WriteRvx("declined.rvx", "d");
    InstanceSwitch = 1;
    EXPECT_EQ(Send(handover::EncodeMessage({a})), handover::kDeclined);
    InstanceSwitch = 0;
    EXPECT_EQ(Send(std::string("\x00\x01\x00\x00", 4)), 0);  // over 64 KiB: dropped unanswered
    EXPECT_EQ(Send(std::string("\x00\x00\x00\x02" "ab", 6)), 0);
    PumpEvents(300);
    EXPECT_EQ(SpectraList.Count(), 0);
    EXPECT_TRUE(one_->Waiting().empty());
}

TEST(HandOverStart, AStaleSocketIsReplacedAndASilentInstanceIsGivenUpAfterFiveSeconds) {
    AppTestSetUp();
    InstanceSwitch = 0;
    // A socket file left by an instance that died.
    const QByteArray path = SocketPath().toLocal8Bit();
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, path.constData(), sizeof addr.sun_path - 1);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0) << path.constData();
    ::close(fd);
    TMZOneInstance first;
    EXPECT_EQ(first.Create({}), TMZOneInstance::TStart::Alone);
    EXPECT_TRUE(first.Listening());
    // A start in this very process cannot be answered while it waits: it gives up within the wait.
    TMZOneInstance second;
    QElapsedTimer t;
    t.start();
    EXPECT_EQ(second.Create({"/x/y.rvx"}), TMZOneInstance::TStart::NoAnswer);
    EXPECT_LT(t.elapsed(), TMZOneInstance::kAnswerWaitMs + 1500);
    EXPECT_FALSE(second.Listening());
    InstanceSwitch = 1;
}

// Real processes of the program, offscreen, with a settings folder of their own.
class HandOverProcesses : public ::testing::Test {
protected:
    void SetUp() override {
        AppTestSetUp();  // this process reads the same settings folder afterwards
        env_ = QProcessEnvironment::systemEnvironment();
        env_.insert("QT_QPA_PLATFORM", "offscreen");
        env_.insert("VAROLUX32_SPLASH_MS", "300");
        env_.insert("VAROLUX32_REGISTRY_DIR", QString::fromLocal8Bit(std::getenv("VAROLUX32_REGISTRY_DIR")));
    }
    void TearDown() override {
        for (auto& p : running_) {
            p->terminate();
            if (!p->waitForFinished(5000)) p->kill();
            p->waitForFinished(2000);
        }
    }
    QProcess& Start(const QStringList& args, const QString& folder = QString()) {
        running_.push_back(std::make_unique<QProcess>());
        QProcess& p = *running_.back();
        p.setProcessEnvironment(env_);
        p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        if (!folder.isEmpty()) p.setWorkingDirectory(folder);
        p.start(VX_PROGRAM, args);
        EXPECT_TRUE(p.waitForStarted(5000));
        return p;
    }
    // Waits until the running instance listens.
    void WaitForListener() {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 10000) {
            QLocalSocket s;
            s.connectToServer(QString::fromStdString(handover::SocketName(registry::storeFolder())));
            if (s.waitForConnected(200)) return;
            QThread::msleep(50);
        }
        FAIL() << "the first instance never listened";
    }
    QProcessEnvironment env_;
    std::vector<std::unique_ptr<QProcess>> running_;
};

TEST_F(HandOverProcesses, ASecondStartHandsItsFilesToTheRunningWindowAndEnds) {
    const std::string a = WriteRvx("spectrum one;1.rvx", "one");
    const std::string b = WriteRvx("spectrum  two.rvx", "two");
    QProcess& first = Start({});
    WaitForListener();
    QElapsedTimer t;
    t.start();
    // One name absolute, one relative to the second start's own folder.
    QProcess& second = Start({QString::fromStdString(a), "spectrum  two.rvx"}, QString::fromStdString(TestFolder()));
    ASSERT_TRUE(second.waitForFinished(5000));
    EXPECT_LT(t.elapsed(), 5000);
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    // A start without names only brings the window to the front.
    QProcess& third = Start({});
    ASSERT_TRUE(third.waitForFinished(5000));
    EXPECT_EQ(third.exitCode(), 0);
    // The first instance ends as by File > Exit and keeps the files in its recent list.
    QThread::msleep(500);
    first.terminate();
    ASSERT_TRUE(first.waitForFinished(10000));
    EXPECT_EQ(first.exitCode(), 0);
    // Read in sorted order ("spectrum  two" first), so the other one is the newest entry.
    TRecentFiles recent;
    recent.Load();
    EXPECT_EQ(recent.Names(), (std::vector<std::string>{a, b}));
}

TEST_F(HandOverProcesses, WithSeveralInstancesAllowedASecondStartOpensItsOwnWindow) {
    options::StoredOptions o;
    o.OMultipleInstances = true;
    ASSERT_TRUE(options::SaveStoredOptions(o));
    Start({});
    WaitForListener();
    QProcess& second = Start({QString::fromStdString(WriteRvx("own.rvx", "own"))});
    EXPECT_FALSE(second.waitForFinished(1500));  // still running: a window of its own
    EXPECT_EQ(second.state(), QProcess::Running);
}
