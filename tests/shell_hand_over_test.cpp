// One running window: a second start hands its files over a local socket. In this process the
// receiving side and a start that finds no answer; then real processes of the program.
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
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
#include <optional>

#include "app/TMainwin.h"
#include "app/program_state.h"
#include "app/recent_files.h"
#include "app/single_instance.h"
#include "app_test_support.h"
#include "core/spectra_list.h"
#include "formats/rvx.h"
#include "platform/hand_over.h"
#include "platform/registry.h"
#include "platform/ui.h"
#include "tools/options_store.h"
#include "tests/fault_injection.h"

namespace {

namespace fs = std::filesystem;

QString SocketPath() { return QString::fromStdString(handover::SocketName(registry::storeFolder())); }

// `count` spectrum files whose paths are `length` bytes long, in sorted order.
std::vector<std::string> WriteLongNamedRvx(int count, std::size_t length) {
    const std::string folder = TestFolder() + std::string(200, 'd') + "/" + std::string(150, 'e') + "/";
    fs::create_directories(folder);
    std::vector<std::string> paths;
    for (int i = 0; i < count; ++i) {
        char head[32];
        std::snprintf(head, sizeof head, "spectrum %03d ", i);
        std::string name = head;
        name.resize(length - folder.size() - 4, 'x');
        TSpectraList list;
        list.Add(MakeRecord(400, 1, {0.1, 0.2, 0.3}, SpecXNanometer, SpecYAbsorbance, 0, name));
        paths.push_back(folder + name + ".rvx");
        SaveRvxFile(paths.back(), list);
    }
    return paths;
}

// The environment variables that decide where the socket lives, restored afterwards.
class ScopedSocketFolder {
public:
    explicit ScopedSocketFolder(const fs::path& tmp) {
        for (const char* v : {"XDG_RUNTIME_DIR", "TMPDIR"}) {
            const char* old = std::getenv(v);
            saved_.emplace_back(v, old ? std::optional<std::string>(old) : std::nullopt);
        }
        ::unsetenv("XDG_RUNTIME_DIR");
        ::setenv("TMPDIR", tmp.c_str(), 1);
    }
    ~ScopedSocketFolder() {
        for (const auto& [name, value] : saved_) {
            if (value) ::setenv(name, value->c_str(), 1);
            else ::unsetenv(name);
        }
    }

private:
    std::vector<std::pair<const char*, std::optional<std::string>>> saved_;
};

// An RVX file of one spectrum, named as given, in the test folder.
std::string WriteRvx(const std::string& name, const std::string& title) {
    TSpectraList list;
    list.Add(MakeRecord(400, 1, {0.1, 0.2, 0.3}, SpecXNanometer, SpecYAbsorbance, 0, title));
    const std::string path = TestFolder() + name;
    SaveRvxFile(path, list);
    return path;
}

class HandOver : public ::testing::Test {
protected:
    void SetUp() override {
        AppTestSetUp();
        SpectraList.Clear();
        ProgramSettings.InstanceSwitch = 0;
        one_ = std::make_unique<TMZOneInstance>();
        ASSERT_EQ(one_->Create({}), TMZOneInstance::TStart::Alone);
        ASSERT_TRUE(one_->Listening());
        w_ = std::make_unique<TMainwin>();
    }
    void TearDown() override {
        one_.reset();
        w_.reset();
        ProgramSettings.InstanceSwitch = 1;
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
    EXPECT_EQ(Send(handover::EncodeMessages({b, a})), handover::kAccepted);
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
    EXPECT_EQ(Send(handover::EncodeMessages({a})), handover::kAccepted);
    PumpEvents(300);
    EXPECT_EQ(SpectraList.Count(), 0);
    busy.close();
    PumpEvents(500);
    EXPECT_EQ(SpectraList.Count(), 1);
    // Only the front: nothing to open.
    EXPECT_EQ(Send(handover::EncodeMessages({})), handover::kAccepted);
    EXPECT_EQ(SpectraList.Count(), 1);
}

TEST_F(HandOver, SeveralInstancesAllowedOrAMalformedMessageOpenNothing) {
    one_->SetReceiver(w_.get());
    const std::string a = WriteRvx("declined.rvx", "d");
    ProgramSettings.InstanceSwitch = 1;
    EXPECT_EQ(Send(handover::EncodeMessages({a})), handover::kDeclined);
    ProgramSettings.InstanceSwitch = 0;
    EXPECT_EQ(Send(std::string("\x00\x01\x00\x00", 4)), 0);  // over 64 KiB: dropped unanswered
    EXPECT_EQ(Send(std::string("\x00\x00\x00\x02" "ab", 6)), 0);
    PumpEvents(300);
    EXPECT_EQ(SpectraList.Count(), 0);
    EXPECT_TRUE(one_->Waiting().empty());
}

TEST(HandOverStart, AStaleSocketIsReplacedAndASilentInstanceIsGivenUpAfterFiveSeconds) {
    AppTestSetUp();
    ProgramSettings.InstanceSwitch = 0;
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
    ProgramSettings.InstanceSwitch = 1;
}

TEST_F(HandOver, ALongListArrivesWholeInSeveralMessages) {
    one_->SetReceiver(w_.get());
    QDialog busy(w_.get());  // the names wait, so that they can be seen as they arrived
    busy.setModal(true);
    busy.show();
    PumpEvents(10);
    std::vector<std::string> names;
    for (int i = 0; i < 160; ++i) names.push_back("/gone/" + std::to_string(i) + "/" + std::string(430, 'n'));
    const std::string bytes = handover::EncodeMessages(names);
    ASSERT_GT(bytes.size(), handover::kMaxMessage);
    EXPECT_EQ(Send(bytes), handover::kAccepted);
    EXPECT_EQ(one_->Waiting(), names);
    busy.close();
}

TEST_F(HandOver, NamesBeyondWhatAHandOverCarriesEndTheSecondStartWithoutSending) {
    TMZOneInstance second;
    EXPECT_EQ(second.Create({"/" + std::string(handover::kMaxList, 'a')}), TMZOneInstance::TStart::TooMany);
    EXPECT_FALSE(second.Listening());
    PumpEvents(50);
    EXPECT_TRUE(one_->Waiting().empty());
}

TEST(HandOverStart, AFolderOthersCouldListenInHandsNothingOverAndThisStartOpensItsOwnWindow) {
    AppTestSetUp();
    ProgramSettings.InstanceSwitch = 0;
    const fs::path tmp = fs::path(TestFolder()) / "open-tmp";
    fs::create_directories(tmp);
    ScopedSocketFolder place(tmp);
    const fs::path folder = tmp / ("varolux32-" + std::to_string(::getuid()));
    fs::create_directories(folder);
    ::chmod(folder.c_str(), 0777);
    TMZOneInstance start;
    EXPECT_EQ(start.Create({"/x/y.rvx"}), TMZOneInstance::TStart::Alone);
    EXPECT_FALSE(start.Listening());
    EXPECT_TRUE(fs::is_empty(folder));  // no socket, no lock file
    ProgramSettings.InstanceSwitch = 1;
}

TEST(HandOverStart, AnInstanceOfAnotherUserIsSentNoNames) {
    if (::getuid() != 0) GTEST_SKIP() << "a listener of another user needs root to make";
    AppTestSetUp();
    ProgramSettings.InstanceSwitch = 0;
    const fs::path tmp = fs::path(TestFolder()) / "peer-tmp";
    fs::create_directories(tmp);
    ScopedSocketFolder place(tmp);
    // Bound where this user's instance would be, listening as user 4321 (credentials are those of listen()).
    const QByteArray path = SocketPath().toLocal8Bit();
    ASSERT_FALSE(path.isEmpty());
    const int server = fault::listenAsUser(path.toStdString(), 4321);
    ASSERT_GE(server, 0);
    TMZOneInstance start;
    EXPECT_EQ(start.Create({"/secret/plan.rvx"}), TMZOneInstance::TStart::Alone);
    EXPECT_FALSE(start.Listening());
    // The connection was made and closed with nothing written to it.
    const int peer = ::accept(server, nullptr, nullptr);
    ASSERT_GE(peer, 0);
    char byte = 0;
    EXPECT_EQ(::recv(peer, &byte, 1, 0), 0);
    ::close(peer);
    ::close(server);
    ProgramSettings.InstanceSwitch = 1;
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

TEST_F(HandOverProcesses, ASecondStartWith70KBOfNamesHandsThemAllOver) {
    // 160 files of 440-byte paths: more than one message holds.
    const std::vector<std::string> files = WriteLongNamedRvx(160, 440);
    QStringList args;
    for (const std::string& f : files) args << QString::fromStdString(f);
    QProcess& first = Start({});
    WaitForListener();
    QProcess& second = Start(args);
    ASSERT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    QThread::msleep(1000);
    first.terminate();
    ASSERT_TRUE(first.waitForFinished(10000));
    EXPECT_EQ(first.exitCode(), 0);
    // All were read in one Open, in sorted order: the last ten, newest first, are the recent files.
    TRecentFiles recent;
    recent.Load();
    EXPECT_EQ(recent.Names(), std::vector<std::string>(files.rbegin(), files.rbegin() + 10));
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
