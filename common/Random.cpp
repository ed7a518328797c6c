#include "Random.h"

namespace lumo {

Random& processRandom()
{
    static Random instance;
    return instance;
}

} // namespace lumo
