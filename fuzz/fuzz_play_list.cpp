// The player's reader of playl.lis and the sequence that walks it: any bytes give entries that
// every play mode can step through, and every entry joins the work folder.
#include "player/core/PlaySequence.h"
#include "player/core/WorkFolder.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> entries = lumo::player::parsePlayList(bytes);
    for (const std::string& entry : entries)
        (void)lumo::player::inWorkFolder("C:\\Temp\\Saver.scr", entry);
    lumo::Random random;
    for (const char* mode : {"round", "oneb", "other"}) {
        lumo::player::PlaySequence sequence(random);
        sequence.setMode(mode);
        for (int tick = 0; tick < 8; ++tick)
            if (const auto next = sequence.next(static_cast<std::uint32_t>(entries.size())))
                if (!entries.empty() && *next >= entries.size())
                    __builtin_trap(); // a pick past a list the player plays would load nothing
    }
    return 0;
}
