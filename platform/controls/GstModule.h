// The GStreamer module: the project's GStreamer-linked code (the playback engine, its outputs and
// the wave sounds) is one shared module, libkesto_gst.so beside the executable, so that a program
// that links this layer maps no GStreamer library until it first plays something or prepares to.
// The module has one entry point, KestoGstModule, giving the table below; it is loaded once per
// process with RTLD_NOW | RTLD_LOCAL and never unloaded.
#pragma once

#include <string>

namespace controls {

class MediaEngine;

struct GstModuleEntry {
    // A new engine (owned by the caller); raises MediaError when GStreamer cannot start.
    MediaEngine* (*createEngine)();
    // Starts GStreamer and loads the playback elements on the calling thread.
    void (*prepare)();
    // Plays a wave file: with `async` the call returns at once and the sound plays on, else when
    // the sound has ended. False when the file cannot be played.
    bool (*playSound)(const char* path, bool async);
};

inline constexpr const char* kGstModuleName = "libkesto_gst.so";
inline constexpr const char* kGstModuleEntryName = "KestoGstModule";
inline constexpr const char* kGstModuleVariable = "KESTO_GST_MODULE";

// The module beside the running executable, or the file $KESTO_GST_MODULE names (programs that do
// not live beside it, such as tests).
std::string GstModulePath();

// The module's table, loading it on the first call (from GstModulePath(), or from `path` when
// given; every later call gets the first call's result). Null when it cannot be loaded, with the
// reason for a person in *why ("the playback module /x/libkesto_gst.so cannot be loaded: ...").
const GstModuleEntry* LoadGstModule(std::string* why = nullptr);

// Loads a module from `path` on its own, for tests (not the process's module).
const GstModuleEntry* LoadGstModuleFrom(const std::string& path, std::string* why);

}  // namespace controls
