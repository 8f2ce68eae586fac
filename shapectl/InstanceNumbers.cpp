#include "shapectl/InstanceNumbers.h"

std::int16_t InstanceNumberMap::Take() {
    std::lock_guard lock(mutex_);
    for (int n = 1; n < 2048; ++n) {
        std::uint8_t bit = static_cast<std::uint8_t>(1u << (7 - n % 8));
        if (!(bits_[n / 8] & bit)) {
            bits_[n / 8] |= bit;
            return static_cast<std::int16_t>(n);
        }
    }
    return 0;
}

void InstanceNumberMap::Give(std::int16_t number) {
    if (number <= 0 || number >= 2048) return;
    std::lock_guard lock(mutex_);
    bits_[number / 8] &= static_cast<std::uint8_t>(~(1u << (7 - number % 8)));
}

bool InstanceNumberMap::InUse(std::int16_t number) const {
    if (number < 0 || number >= 2048) return false;
    std::lock_guard lock(mutex_);
    return (bits_[number / 8] >> (7 - number % 8)) & 1;
}

InstanceNumberMap& InstanceNumberMap::Controls() {
    static InstanceNumberMap map;
    return map;
}
