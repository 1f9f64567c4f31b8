#include "StoredSettings.h"

#include <limits>

namespace kivora {

int16_t StoredPosition(int32_t value, int entryCount) {
    if (value < 0 || value >= entryCount || value > std::numeric_limits<int16_t>::max()) {
        return 0;
    }
    return static_cast<int16_t>(value);
}

} // namespace kivora
