// The entry point of the GStreamer module (libkesto_gst.so); the only name it exports.
#include "platform/controls/GstModule.h"
#include "platform/controls/GstMediaEngine.h"

namespace {

controls::MediaEngine* CreateEngine() {
    return new controls::GstMediaEngine();
}

const controls::GstModuleEntry kEntry{CreateEngine, controls::PrepareGst, controls::PlayGstSound};

}  // namespace

extern "C" __attribute__((visibility("default"))) const controls::GstModuleEntry* KestoGstModule() {
    return &kEntry;
}
