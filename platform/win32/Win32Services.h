// The Windows implementations of the small platform services.
#pragma once

#include "../Environment.h"
#include "../ProgramResources.h"
#include "../Registry.h"
#include "../Shell.h"
#include "../WaveOut.h"
#include "../WindowPresence.h"

#include <optional>

namespace lumo::platform {

class Win32Environment final : public Environment {
public:
    std::optional<std::string> variable(const std::string& name) const override;
    std::string currentFolder() const override;
    std::string longPathName(const std::string& path) const override;
    std::string programPath() const override;
    std::string windowsFolder() const override;
    std::string systemFolder() const override;
};

class Win32Registry final : public Registry {
public:
    Result<std::optional<std::string>> readString(std::string_view key, std::string_view name) override;
    Status writeString(std::string_view key, std::string_view name, std::string_view value) override;
    bool keyExists(std::string_view key) override;
};

// Native windows register their classes themselves; a claim has nothing to add.
class Win32Presence final : public WindowPresence {
public:
    bool isPresent(std::string_view windowClass) override;
    std::unique_ptr<PresenceClaim> claim(std::string_view windowClass) override;
};

// Looked up in the program's own module on every call; the bytes stay mapped while it runs.
class Win32ProgramResources final : public ProgramResources {
public:
    Result<std::string_view> rawData(const std::string& name) override;
};

class Win32Shell final : public Shell {
public:
    bool open(const std::string& target, const std::string& parameters, const std::string& workingFolder) override;
};

// The first wave-output device whose capabilities report volume control, chosen at creation.
// Wine applies a level only to the stream of the handle it was set through, so the handle stays open
// for the life of the process; Windows applies it to the device either way.
class Win32WaveOut final : public WaveOut {
public:
    Win32WaveOut();
    ~Win32WaveOut() override;
    bool hasVolumeControl() const override { return m_device >= 0; }
    void setVolume(std::uint32_t level) override;
    // The level as the device reports it; nullopt when it cannot be read.
    std::optional<std::uint32_t> level() const;

private:
    int m_device = -1;
    void* m_handle = nullptr; // HWAVEOUT
};

} // namespace lumo::platform
