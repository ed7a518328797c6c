// In-memory stand-ins for the platform services, for tests: they record what was asked of them
// and can be told to fail.
#pragma once

#include "../Environment.h"
#include "../ProgramResources.h"
#include "../Registry.h"
#include "../Shell.h"
#include "../WaveOut.h"
#include "../WindowPresence.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace lumo::platform {

class FakeRegistry final : public Registry {
public:
    struct Stored {
        std::string text;
        bool isString = true;
    };

    Result<std::optional<std::string>> readString(std::string_view key, std::string_view name) override;
    Status writeString(std::string_view key, std::string_view name, std::string_view value) override;
    bool keyExists(std::string_view key) override;

    void setString(const std::string& key, const std::string& name, const std::string& value);
    void setNonString(const std::string& key, const std::string& name);
    std::optional<std::string> stored(const std::string& key, const std::string& name) const;

    std::vector<std::string> writes; // value names in the order written
    std::string failCreateKey; // a key whose creation fails
    std::string failSetValue; // a value name whose write fails

private:
    std::map<std::string, std::map<std::string, Stored>> m_keys; // keys and names upper-cased
};

class FakePresence final : public WindowPresence {
public:
    bool isPresent(std::string_view windowClass) override;
    std::unique_ptr<PresenceClaim> claim(std::string_view windowClass) override;

private:
    std::multiset<std::string> m_present;
};

class FakeWaveOut final : public WaveOut {
public:
    explicit FakeWaveOut(bool volumeControl = true)
        : m_volumeControl(volumeControl)
    {
    }
    bool hasVolumeControl() const override { return m_volumeControl; }
    void setVolume(std::uint32_t level) override { levels.push_back(level); }

    std::vector<std::uint32_t> levels;

private:
    bool m_volumeControl;
};

class FakeShell final : public Shell {
public:
    struct Call {
        std::string target, parameters, workingFolder;
    };
    bool open(const std::string& target, const std::string& parameters, const std::string& workingFolder) override
    {
        calls.push_back({target, parameters, workingFolder});
        return opens;
    }
    std::vector<Call> calls;
    bool opens = true; // false: nothing on this machine opens anything
};

class FakeProgramResources final : public ProgramResources {
public:
    Result<std::string_view> rawData(const std::string& name) override
    {
        const auto found = resources.find(name);
        if (found == resources.end())
            return resourceNotFound(name);
        return std::string_view(found->second);
    }
    std::map<std::string, std::string> resources;
};

class FakeEnvironment final : public Environment {
public:
    std::optional<std::string> variable(const std::string& name) const override;
    std::string currentFolder() const override { return current; }
    std::string longPathName(const std::string& path) const override;
    std::string programPath() const override { return program; }
    std::string windowsFolder() const override { return windows; }
    std::string systemFolder() const override { return system; }

    std::map<std::string, std::string> variables;
    std::string program = "/opt/lumo/lumo";
    std::string windows;
    std::string system;
    std::string current = "/current";
    std::map<std::string, std::string> longNames;
};

} // namespace lumo::platform
