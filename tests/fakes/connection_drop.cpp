#include "fakes/connection_drop.h"

#include <sys/socket.h>

#include <charconv>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

namespace ambrel::fakes {

namespace {

// The port of an address of /proc/net/tcp ("0100007F:C5A1": address and port in hex).
int portOf(const std::string& address) {
    const auto colon = address.rfind(':');
    if (colon == std::string::npos) return -1;
    int port = -1;
    std::from_chars(address.data() + colon + 1, address.data() + address.size(), port, 16);
    return port;
}

// The inode of the socket from `localPort` to `remotePort`, from one of the TCP tables.
std::optional<std::string> socketInode(const char* table, int localPort, int remotePort) {
    std::ifstream lines(table);
    std::string line;
    std::getline(lines, line);  // column titles
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string slot, local, remote, skipped, inode;
        fields >> slot >> local >> remote;
        for (int i = 0; i < 6; ++i) fields >> skipped;  // state to timeout
        fields >> inode;
        if (portOf(local) == localPort && portOf(remote) == remotePort) return inode;
    }
    return std::nullopt;
}

std::optional<int> descriptorOf(const std::string& inode) {
    const std::string target = "socket:[" + inode + "]";
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", error)) {
        std::error_code linkError;
        if (std::filesystem::read_symlink(entry.path(), linkError).string() != target) continue;
        const std::string name = entry.path().filename().string();
        int fd = -1;
        const auto [end, parseError] = std::from_chars(name.data(), name.data() + name.size(), fd);
        if (parseError == std::errc{} && end == name.data() + name.size()) return fd;
    }
    return std::nullopt;
}

}  // namespace

bool dropConnection(int localPort, int remotePort) {
    auto inode = socketInode("/proc/net/tcp", localPort, remotePort);
    if (!inode) inode = socketInode("/proc/net/tcp6", localPort, remotePort);
    if (!inode) return false;
    const auto fd = descriptorOf(*inode);
    return fd && shutdown(*fd, SHUT_RDWR) == 0;
}

}  // namespace ambrel::fakes
