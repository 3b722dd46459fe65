#pragma once
// Helpers of the fault-injection tests: running a save in a child process (so that file size limits,
// dropped privileges, kills and a read that blocks never touch the test program), planting pipes and
// other files that are no regular files, and reading or planting files whole.
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace fault {

// Exit code of `body` run in a child process, or 128 + the signal that ended it.
inline int inChild(const std::function<int()>& body) {
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(body());
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// The same with a deadline: a body that blocks (on a pipe, say) is ended by SIGALRM after `seconds`,
// which shows as 128 + SIGALRM instead of a test run that hangs.
inline int inChildWithin(unsigned seconds, const std::function<int()>& body) {
    return inChild([&] {
        ::alarm(seconds);
        return body();
    });
}

// Makes a named pipe, a socket and a folder in `dir` (the kinds of file no reader or save may wait on)
// and returns their paths in that order; a symbolic link loop is "loop".
inline std::vector<std::filesystem::path> plantNonRegularFiles(const std::filesystem::path& dir) {
    const auto fifo = dir / "pipe", sock = dir / "socket", folder = dir / "folder";
    ::mkfifo(fifo.c_str(), 0600);
    const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", sock.c_str());
    ::bind(s, reinterpret_cast<const sockaddr*>(&addr), sizeof addr);
    ::close(s);
    std::filesystem::create_directories(folder);
    std::filesystem::create_symlink("loop", dir / "loop");
    return {fifo, sock, folder};
}

// Root may write a file that is read-only for everyone: a child that checks such a refusal becomes the
// unprivileged user 65534 first (its folder given to that user beforehand). False when that failed.
inline bool actAsOrdinaryUser() {
    if (::geteuid() != 0) return true;
    return ::setgid(65534) == 0 && ::setuid(65534) == 0;
}

// A socket bound at `path` on which a process of user `uid` listens (the peer credentials a client sees
// are those of listen()); -1 when that could not be made (it needs root). The caller closes it.
inline int listenAsUser(const std::string& path, uid_t uid) {
    const int server = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", path.c_str());
    if (server < 0 || ::bind(server, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0 ||
        inChild([&] { return ::setuid(uid) == 0 && ::listen(server, 4) == 0 ? 0 : 1; }) != 0) {
        if (server >= 0) ::close(server);
        return -1;
    }
    return server;
}

inline std::string slurp(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

inline void plant(const std::filesystem::path& p, const std::string& bytes) {
    if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << bytes;
}

}  // namespace fault
