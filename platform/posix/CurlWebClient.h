// The web client of the POSIX hosts: libcurl, the well-kept HTTP client every distribution has.
#pragma once

#include "../WebClient.h"

namespace lumo::platform {

class CurlWebClient final : public WebClient {
public:
    CurlWebClient();
    Status fetch(const std::string& location, OutputFile& out, const Progress& progress) override;
};

} // namespace lumo::platform
