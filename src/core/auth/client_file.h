#pragma once

// Saving a client file the user picked as their own client_secret.json, so a first run needs
// no terminal. The file is judged by the sign-in's own reader and endpoint rule
// (OAuthConfig::parse, OAuthConfig::checkEndpoints): a file taken here is one the sign-in takes.

#include <expected>
#include <filesystem>
#include <string>

namespace ambrel {

enum class ClientFileInstall {
    installed,     // written to the destination
    existingKept,  // the destination exists and replacing it was not allowed: nothing written
};

// Reads `chosen` and, when it holds a usable OAuth client, writes the same bytes to
// `destination` (0600 in a 0700 folder, replaced in one rename). An existing destination is
// replaced only with `replaceExisting`. A file that cannot be read or holds no usable client
// leaves everything as it was; the error is the text a person reads.
std::expected<ClientFileInstall, std::string> installClientFile(
    const std::filesystem::path& chosen, const std::filesystem::path& destination,
    bool replaceExisting);

}  // namespace ambrel
