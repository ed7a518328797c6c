#include "PlayerCarrier.h"

extern "C" const char lumo_carrier_begin[];
extern "C" const char lumo_carrier_end[];

namespace lumo::creator {

std::string_view carriedStorage()
{
    return {lumo_carrier_begin, static_cast<size_t>(lumo_carrier_end - lumo_carrier_begin)};
}

} // namespace lumo::creator
