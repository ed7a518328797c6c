// An output file held in memory: for composing a file in memory through code that writes files.
#pragma once

#include "FileSystem.h"

#include <string>

namespace lumo::platform {

class MemoryOutputFile final : public OutputFile {
public:
    Status write(std::string_view bytes) override
    {
        m_bytes += bytes;
        return {};
    }
    Status writeAt(std::uint64_t offset, std::string_view bytes) override
    {
        if (offset > m_bytes.size() || bytes.size() > m_bytes.size() - offset)
            return Error{"writing past the end of a file in memory"};
        m_bytes.replace(static_cast<size_t>(offset), bytes.size(), bytes);
        return {};
    }
    std::uint64_t written() const override { return m_bytes.size(); }
    Status close() override { return {}; }

    std::string& bytes() { return m_bytes; }

private:
    std::string m_bytes;
};

// An output file that keeps nothing and counts what it is given.
class CountingOutputFile final : public OutputFile {
public:
    Status write(std::string_view bytes) override
    {
        m_written += bytes.size();
        return {};
    }
    Status writeAt(std::uint64_t, std::string_view) override { return {}; }
    std::uint64_t written() const override { return m_written; }
    Status close() override { return {}; }

private:
    std::uint64_t m_written = 0;
};

} // namespace lumo::platform
