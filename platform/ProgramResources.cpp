#include "ProgramResources.h"

namespace lumo::platform {

Error resourceNotFound(const std::string& name)
{
    return {formatMessage("Resource %s not found", {name})};
}

} // namespace lumo::platform
