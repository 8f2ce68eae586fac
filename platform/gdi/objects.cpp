#include "platform/gdi/objects.h"

#include <unordered_map>

namespace platform::gdi::internal {

namespace {

struct Table {
    std::mutex mutex;
    std::unordered_map<std::uintptr_t, std::shared_ptr<Object>> objects;
    std::uintptr_t next = 0x10000;
};

Table& TheTable() {
    static auto* table = new Table();
    return *table;
}

}  // namespace

std::uintptr_t Add(std::shared_ptr<Object> object) {
    Table& t = TheTable();
    std::lock_guard lock(t.mutex);
    std::uintptr_t id = t.next;
    t.next += 4;
    t.objects.emplace(id, std::move(object));
    return id;
}

std::shared_ptr<Object> Find(std::uintptr_t handle) {
    Table& t = TheTable();
    std::lock_guard lock(t.mutex);
    auto it = t.objects.find(handle);
    return it == t.objects.end() ? nullptr : it->second;
}

bool Remove(std::uintptr_t handle) {
    Table& t = TheTable();
    std::shared_ptr<Object> gone;  // destroyed outside the lock
    std::lock_guard lock(t.mutex);
    auto it = t.objects.find(handle);
    if (it == t.objects.end()) return false;
    gone = std::move(it->second);
    t.objects.erase(it);
    return true;
}

std::mutex& LinkMutex() {
    static auto* mutex = new std::mutex();
    return *mutex;
}

}  // namespace platform::gdi::internal
