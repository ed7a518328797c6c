#pragma once

#include "../FileSystem.h"

namespace lumo::platform {

class PosixFileSystem final : public FileSystem {
public:
    bool isFolder(const std::string& path) override;
    bool exists(const std::string& path) override;
    std::optional<std::vector<FolderEntry>> list(const std::string& folder) override;
    bool clearAttributes(const std::string& path) override;
    bool removeFile(const std::string& path) override;
    bool removeEmptyFolder(const std::string& path) override;
    bool createFolder(const std::string& path) override;
    Result<std::unique_ptr<FolderHandle>> openFolder(const std::string& path) override;
    std::string finalPath(const std::string& path) override;
    unsigned long processId() override;
    bool processRuns(unsigned long id) override;
    Result<std::string> createPrivateFolder(const std::string& parent, const std::string& prefix) override;
    std::optional<std::uint64_t> fileSize(const std::string& path) override;
    Result<std::unique_ptr<InputFile>> openForReading(const std::string& path) override;
    Result<std::unique_ptr<OutputFile>> createFile(const std::string& path) override;
    bool renameReplacing(const std::string& from, const std::string& to) override;
    Result<std::string> readFile(const std::string& path) override;
    Result<MappedBytes> mapFile(const std::string& path) override;
    Result<std::unique_ptr<OutputFile>> replaceFile(const std::string& path) override;
};

// The system's text for errno, as the framework appends it to file errors.
std::string systemErrorText(int error);

} // namespace lumo::platform
