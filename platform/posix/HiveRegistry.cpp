#include "HiveRegistry.h"

#include "PosixFileSystem.h"

#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumo::platform {

namespace {

constexpr std::string_view kRoot = "HKEY_CURRENT_USER\\";

std::string fullKey(std::string_view key)
{
    return std::string(kRoot) + std::string(key);
}

std::string parentOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : (slash == 0 ? std::string("/") : path.substr(0, slash));
}

// mkdir -p; true when the folder exists afterwards.
bool createFolders(const std::string& folder)
{
    struct stat st { };
    if (folder.empty() || ::stat(folder.c_str(), &st) == 0)
        return !folder.empty() && S_ISDIR(st.st_mode);
    const std::string parent = parentOf(folder);
    if (parent != folder && !createFolders(parent))
        return false;
    return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

std::string timestamp()
{
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    ::localtime_r(&now, &parts);
    char buffer[32];
    std::strftime(buffer, sizeof buffer, "%Y%m%d-%H%M%S", &parts);
    return buffer;
}

} // namespace

class HiveRegistry::Lock {
public:
    explicit Lock(const std::string& hivePath)
    {
        const std::string lockPath = hivePath + ".lock";
        if (createFolders(parentOf(hivePath)))
            m_fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (m_fd >= 0) {
            while (::flock(m_fd, LOCK_EX) != 0 && errno == EINTR) { }
        }
    }
    ~Lock()
    {
        if (m_fd >= 0)
            ::close(m_fd); // releases the lock
    }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

private:
    int m_fd = -1;
};

HiveRegistry::HiveRegistry(std::string hivePath)
    : m_path(std::move(hivePath))
{
}

std::string HiveRegistry::defaultHivePath(const Environment& environment)
{
    if (auto explicitPath = environment.variable("LUMO_REGISTRY"); explicitPath && !explicitPath->empty())
        return *explicitPath;
    return xdgBaseFolder(environment, "XDG_CONFIG_HOME", ".config") + "/lumo-screensaver/registry.reg";
}

bool HiveRegistry::hiveExists() const
{
    struct stat st { };
    return ::stat(m_path.c_str(), &st) == 0;
}

Status HiveRegistry::withHive(const std::function<Status(reg::Hive&)>& action)
{
    Lock lock(m_path);
    reg::Hive hive;
    PosixFileSystem files;
    if (hiveExists()) {
        Result<std::string> bytes = files.readFile(m_path);
        if (!bytes)
            return bytes.error();
        Result<reg::Hive> parsed = reg::parseHive(*bytes);
        if (!parsed) {
            const std::string aside = m_path + ".broken-" + timestamp() + "-" + std::to_string(::getpid());
            const bool moved = ::rename(m_path.c_str(), aside.c_str()) == 0;
            std::string message = "The settings file \"" + m_path + "\" could not be read (" + parsed.message() + ")";
            if (moved)
                message += "; it was set aside as \"" + aside + "\" and the defaults apply.";
            else
                message += " and could not be set aside: " + systemErrorText(errno);
            return Error{message};
        }
        hive = std::move(*parsed);
    }
    return action(hive);
}

Status HiveRegistry::save(const reg::Hive& hive)
{
    PosixFileSystem files;
    return files.writeFileAtomically(m_path, reg::formatHive(hive));
}

Result<std::optional<std::string>> HiveRegistry::readString(std::string_view key, std::string_view name)
{
    if (Status earlier = takeUnreported(); !earlier)
        return earlier.error();
    std::optional<std::string> found;
    const Status status = withHive([&](reg::Hive& hive) -> Status {
        reg::Key* k = hive.find(fullKey(key));
        reg::Value* v = k ? k->find(name) : nullptr;
        if (!v)
            return {};
        if (v->type != reg::kSz && v->type != reg::kExpandSz)
            return invalidDataType(name);
        found = v->text;
        return {};
    });
    if (!status)
        return status.error();
    return found;
}

Status HiveRegistry::writeString(std::string_view key, std::string_view name, std::string_view value)
{
    if (Status earlier = takeUnreported(); !earlier)
        return earlier;
    // The messages name the key or value, then the system's reason.
    const auto because = [](Error error, const Status& why) {
        error.message += " (" + why.message() + ")";
        return error;
    };
    return withHive([&](reg::Hive& hive) -> Status {
        const std::string path = fullKey(key);
        if (!hive.find(path)) {
            hive.obtain(path);
            if (Status saved = save(hive); !saved)
                return because(failedToCreateKey(key), saved);
        }
        reg::Key& k = *hive.find(path);
        reg::Value* v = k.find(name);
        if (!v) {
            k.values.push_back({std::string(name), reg::kSz, {}, {}});
            v = &k.values.back();
        }
        v->type = reg::kSz;
        v->text = std::string(value);
        v->data.clear();
        if (Status saved = save(hive); !saved)
            return because(failedToSetData(name), saved);
        return {};
    });
}

bool HiveRegistry::keyExists(std::string_view key)
{
    bool exists = false;
    const Status status = withHive([&](reg::Hive& hive) -> Status {
        exists = hive.hasKeyOrChild(fullKey(key));
        return {};
    });
    // This call cannot say what went wrong (a file set aside, say): the next one that can, does.
    if (!status)
        m_unreported = status.message();
    return status && exists;
}

Status HiveRegistry::takeUnreported()
{
    if (m_unreported.empty())
        return {};
    return Error{std::exchange(m_unreported, {})};
}

} // namespace lumo::platform
