// The settings hive reader: any bytes parse or fail cleanly, and what parses survives a
// write-then-read round trip unchanged.
#include "platform/posix/RegText.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

using namespace lumo::platform::reg;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    lumo::Result<Hive> hive = parseHive(bytes);
    if (!hive)
        return 0;
    lumo::Result<Hive> again = parseHive(formatHive(*hive));
    if (!again || again->keys.size() != hive->keys.size())
        std::abort();
    for (size_t k = 0; k < hive->keys.size(); ++k) {
        const auto& a = hive->keys[k].values;
        const auto& b = again->keys[k].values;
        if (a.size() != b.size())
            std::abort();
        for (size_t v = 0; v < a.size(); ++v)
            if (a[v].name != b[v].name || a[v].type != b[v].type || a[v].text != b[v].text || a[v].data != b[v].data)
                std::abort();
    }
    return 0;
}
