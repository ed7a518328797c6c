#include "Registry.h"

namespace lumo::platform {

Error invalidDataType(std::string_view name)
{
    return {formatMessage("Invalid data type for '%s'", {name})};
}

Error failedToCreateKey(std::string_view key)
{
    return {formatMessage("Failed to create key %s", {key})};
}

Error failedToSetData(std::string_view name)
{
    return {formatMessage("Failed to set data for '%s'", {name})};
}

} // namespace lumo::platform
