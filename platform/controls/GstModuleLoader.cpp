#include <dlfcn.h>

#include <cstdlib>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/controls/GstModule.h"
#include "platform/controls/MediaEngine.h"
#include "platform/files/files.h"

namespace controls {

std::string GstModulePath() {
    if (const char* path = std::getenv(kGstModuleVariable); path && *path) return path;
    std::string folder = platform::files::FolderOf(platform::files::ExecutablePath());
    return (folder.empty() ? std::string(".") : folder) + "/" + kGstModuleName;
}

const GstModuleEntry* LoadGstModuleFrom(const std::string& path, std::string* why) {
    auto fail = [&](const std::string& reason) -> const GstModuleEntry* {
        if (why) *why = "the playback module " + path + " cannot be loaded: " + reason;
        return nullptr;
    };
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* error = ::dlerror();
        return fail(error ? error : "unknown error");
    }
    using Entry = const GstModuleEntry* (*)();
    auto entry = reinterpret_cast<Entry>(::dlsym(handle, kGstModuleEntryName));
    const GstModuleEntry* table = entry ? entry() : nullptr;
    if (!table || !table->createEngine || !table->prepare || !table->playSound) {
        ::dlclose(handle);
        return fail(std::string("it has no entry ") + kGstModuleEntryName);
    }
    return table;
}

const GstModuleEntry* LoadGstModule(std::string* why) {
    static std::once_flag once;
    static const GstModuleEntry* table = nullptr;
    static std::string failure;
    std::call_once(once, [] { table = LoadGstModuleFrom(GstModulePath(), &failure); });
    if (!table && why) *why = failure;
    return table;
}

std::unique_ptr<MediaEngine> CreateGstEngine() {
    std::string why;
    const GstModuleEntry* module = LoadGstModule(&why);
    if (!module) throw MediaError("Cannot play: " + why);
    return std::unique_ptr<MediaEngine>(module->createEngine());
}

void PrepareGstEngine() {
    static std::once_flag once;
    std::call_once(once, [] {
        // Loading the module maps GStreamer's libraries; that too happens beside the start-up.
        std::thread([] {
            if (const GstModuleEntry* module = LoadGstModule()) module->prepare();
        }).detach();
    });
}

}  // namespace controls
