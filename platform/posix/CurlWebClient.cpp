#include "CurlWebClient.h"

#include <curl/curl.h>

#include <memory>

namespace lumo::platform {

namespace {

struct Transfer {
    OutputFile& out;
    const WebClient::Progress& progress;
    Status written;
};

size_t receive(char* data, size_t size, size_t count, void* user)
{
    auto* transfer = static_cast<Transfer*>(user);
    const size_t bytes = size * count;
    transfer->written = transfer->out.write(std::string_view(data, bytes));
    return transfer->written ? bytes : 0; // 0 stops the transfer
}

int report(void* user, curl_off_t expected, curl_off_t received, curl_off_t, curl_off_t)
{
    auto* transfer = static_cast<Transfer*>(user);
    if (transfer->progress)
        transfer->progress(static_cast<std::uint64_t>(received), static_cast<std::uint64_t>(expected));
    return 0;
}

} // namespace

CurlWebClient::CurlWebClient()
{
    curl_global_init(CURL_GLOBAL_DEFAULT);
}

Status CurlWebClient::fetch(const std::string& location, OutputFile& out, const Progress& progress)
{
    const std::unique_ptr<CURL, void (*)(CURL*)> curl(curl_easy_init(), curl_easy_cleanup);
    if (!curl)
        return cannotFetch(location, "the web client could not start");
    Transfer transfer{out, progress, {}};
    char problem[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(curl.get(), CURLOPT_URL, location.c_str());
    curl_easy_setopt(curl.get(), CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl.get(), CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl.get(), CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_MAXREDIRS, 10L);
    curl_easy_setopt(curl.get(), CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_CONNECTTIMEOUT, 20L);
    // A server that stops sending for a minute has gone.
    curl_easy_setopt(curl.get(), CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_LOW_SPEED_TIME, 60L);
    curl_easy_setopt(curl.get(), CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_USERAGENT, "Lumo ScreenSaver/1.0");
    curl_easy_setopt(curl.get(), CURLOPT_ERRORBUFFER, problem);
    curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, receive);
    curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(curl.get(), CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl.get(), CURLOPT_XFERINFOFUNCTION, report);
    curl_easy_setopt(curl.get(), CURLOPT_XFERINFODATA, &transfer);
    const CURLcode code = curl_easy_perform(curl.get());
    if (!transfer.written)
        return transfer.written;
    if (code != CURLE_OK)
        return cannotFetch(location, problem[0] ? problem : curl_easy_strerror(code));
    return {};
}

} // namespace lumo::platform
