#include "FakeServices.h"

namespace lumo::platform {

namespace {

std::string upper(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return out;
}

class FakeClaim final : public PresenceClaim {
public:
    FakeClaim(std::multiset<std::string>& set, std::string name)
        : m_set(set)
        , m_name(std::move(name))
    {
        m_set.insert(m_name);
    }
    ~FakeClaim() override { m_set.erase(m_set.find(m_name)); }

private:
    std::multiset<std::string>& m_set;
    std::string m_name;
};

} // namespace

Result<std::optional<std::string>> FakeRegistry::readString(std::string_view key, std::string_view name)
{
    const auto k = m_keys.find(upper(key));
    if (k == m_keys.end())
        return std::optional<std::string>();
    const auto v = k->second.find(upper(name));
    if (v == k->second.end())
        return std::optional<std::string>();
    if (!v->second.isString)
        return invalidDataType(name);
    return std::optional<std::string>(v->second.text);
}

Status FakeRegistry::writeString(std::string_view key, std::string_view name, std::string_view value)
{
    if (!failCreateKey.empty() && upper(failCreateKey) == upper(key))
        return failedToCreateKey(key);
    if (!failSetValue.empty() && upper(failSetValue) == upper(name))
        return failedToSetData(name);
    m_keys[upper(key)][upper(name)] = {std::string(value), true};
    writes.emplace_back(name);
    return {};
}

bool FakeRegistry::keyExists(std::string_view key)
{
    return m_keys.count(upper(key)) != 0;
}

void FakeRegistry::setString(const std::string& key, const std::string& name, const std::string& value)
{
    m_keys[upper(key)][upper(name)] = {value, true};
}

void FakeRegistry::setNonString(const std::string& key, const std::string& name)
{
    m_keys[upper(key)][upper(name)] = {"", false};
}

std::optional<std::string> FakeRegistry::stored(const std::string& key, const std::string& name) const
{
    const auto k = m_keys.find(upper(key));
    if (k == m_keys.end())
        return std::nullopt;
    const auto v = k->second.find(upper(name));
    if (v == k->second.end())
        return std::nullopt;
    return v->second.text;
}

bool FakePresence::isPresent(std::string_view windowClass)
{
    return m_present.count(std::string(windowClass)) != 0;
}

std::unique_ptr<PresenceClaim> FakePresence::claim(std::string_view windowClass)
{
    return std::make_unique<FakeClaim>(m_present, std::string(windowClass));
}

std::optional<std::string> FakeEnvironment::variable(const std::string& name) const
{
    const auto it = variables.find(name);
    if (it == variables.end())
        return std::nullopt;
    return it->second;
}

std::string FakeEnvironment::longPathName(const std::string& path) const
{
    const auto it = longNames.find(path);
    return it == longNames.end() ? path : it->second;
}

} // namespace lumo::platform
