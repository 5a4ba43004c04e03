#include "widget/host/host_launcher.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <ostream>
#include <string>
#include <system_error>

namespace ambrel::widget {

int execDesktopHost(std::string_view hostName, char** argv, std::ostream& err) {
    // Beside this executable, wherever it was started from: the build tree and an installation
    // keep both programs in one folder.
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        err << "ambrel-widget: cannot find its own folder: " << error.message() << '\n';
        return 1;
    }
    const std::string host = (self.parent_path() / std::string(hostName)).string();
    argv[0] = const_cast<char*>(host.c_str());
    ::execv(host.c_str(), argv);
    err << "ambrel-widget: cannot start " << host << ": " << std::strerror(errno) << '\n';
    return 1;
}

}  // namespace ambrel::widget
