// Instance numbers: each control of a process holds the lowest free number from 1 to 2047 while it
// lives. The numbers in use are a 2048-bit map (number n is bit 7 - n % 8 of byte n / 8; number 0
// is never given out), guarded by a lock so that hosts may build controls on several threads.
#pragma once

#include <cstdint>
#include <mutex>

class InstanceNumberMap {
public:
    // The lowest free number, now in use; 0 when all 2047 are in use.
    std::int16_t Take();
    // Frees a number taken from this map (0 and numbers out of range are ignored).
    void Give(std::int16_t number);
    bool InUse(std::int16_t number) const;

    // The map of the process's controls.
    static InstanceNumberMap& Controls();

private:
    mutable std::mutex mutex_;
    std::uint8_t bits_[256] = {};
};
