// Fetching a web address (http or https) into a file, redirects followed; the build of a
// screensaver packs web movies as files, since the player program can load nothing from the web.
#pragma once

#include "FileSystem.h"
#include "Result.h"

#include <cstdint>
#include <functional>
#include <string>

namespace lumo::platform {

class WebClient {
public:
    virtual ~WebClient() = default;
    // progress(received, expected): expected is 0 when the server does not say. Every failure, an
    // answer of 400 or above included, reads "Cannot fetch "<location>". <reason>".
    using Progress = std::function<void(std::uint64_t received, std::uint64_t expected)>;
    virtual Status fetch(const std::string& location, OutputFile& out, const Progress& progress) = 0;
};

Error cannotFetch(const std::string& location, const std::string& reason);

} // namespace lumo::platform
