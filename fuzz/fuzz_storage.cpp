// The storage container reader: any bytes read or fail cleanly; what reads writes back and reads
// again to the same files.
#include "formats/FileStorage.h"
#include "platform/MemoryFile.h"

#include "platform/fake/FakeServices.h"
#include "platform/posix/PosixFileSystem.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    static lumo::platform::PosixFileSystem files;
    static lumo::platform::FakeEnvironment environment;
    static lumo::platform::FakeRegistry registry;
    lumo::formats::FileStorage storage({files, environment, registry});
    if (!storage.ReadData(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz"))
        return 0;
    // Every file streamed out, block by block, whatever size it claims: exactly that size, or an error.
    for (int i = 0; i < storage.Count(); ++i) {
        lumo::platform::CountingOutputFile counted;
        if (storage.file(i).writeTo(counted) && counted.written() != static_cast<std::uint64_t>(storage.file(i).size()))
            std::abort();
    }
    // The round trip holds the files in memory: only for small ones.
    if (storage.DataSize() > (64 << 20))
        return 0;
    lumo::Result<std::string> written = storage.WriteData();
    if (!written)
        return 0; // a name Windows-1252 cannot hold, read from an uncoded layout
    lumo::formats::FileStorage again({files, environment, registry});
    if (!again.ReadData(*written, "again") || again.Count() != storage.Count())
        std::abort();
    for (int i = 0; i < storage.Count(); ++i)
        if (*again.file(i).bytes() != *storage.file(i).bytes() || again.file(i).name() != storage.file(i).name())
            std::abort();
    return 0;
}
