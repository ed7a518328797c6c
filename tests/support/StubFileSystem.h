// A file system whose every operation fails: tests derive from it and give the few operations they
// script real answers.
#pragma once

#include "platform/FileSystem.h"

namespace lumo::test {

class StubFileSystem : public platform::FileSystem {
public:
    bool isFolder(const std::string&) override { return false; }
    bool exists(const std::string&) override { return false; }
    std::optional<std::vector<platform::FolderEntry>> list(const std::string&) override { return std::nullopt; }
    bool clearAttributes(const std::string&) override { return false; }
    bool removeFile(const std::string&) override { return false; }
    bool removeEmptyFolder(const std::string&) override { return false; }
    bool createFolder(const std::string&) override { return false; }
    Result<std::string> createPrivateFolder(const std::string&, const std::string&) override
    {
        return Error{"no folders here"};
    }
    std::optional<std::uint64_t> fileSize(const std::string&) override { return std::nullopt; }
    Result<std::unique_ptr<platform::InputFile>> openForReading(const std::string&) override { return Error{"unused"}; }
    Result<std::unique_ptr<platform::OutputFile>> createFile(const std::string&) override { return Error{"unused"}; }
    bool renameReplacing(const std::string&, const std::string&) override { return false; }
    Result<std::string> readFile(const std::string&) override { return Error{"unused"}; }
    Result<std::unique_ptr<platform::OutputFile>> replaceFile(const std::string&) override { return Error{"unused"}; }
};

} // namespace lumo::test
