// The sanitizer settings of this project's programs, for the sanitizer build types. Linked into
// every program (the player, the test container, the test programs and the benchmarks).
//
// GLib, GStreamer, Qt's D-Bus and X11 parts and their plug-ins are not built with the
// sanitizers: their atomics and futex locks are invisible to the thread checker, and what they
// keep for the whole process (or lose themselves) would drown the leak reports. Their inner
// working is left out; everything built here is still checked.

#if defined(__SANITIZE_THREAD__)
extern "C" const char* __tsan_default_options() {
    return "ignore_noninstrumented_modules=1";
}
extern "C" const char* __tsan_default_suppressions() {
    return "called_from_lib:libdbus-1.so\n"
           "called_from_lib:libQt6DBus.so\n";
}
#endif

#if defined(__SANITIZE_ADDRESS__)
// Whole allocation stacks: memory this code owns and forgets to free shows this code's frames,
// which tells it from what the libraries keep; the fast unwinder stops at the first library
// built without frame pointers.
extern "C" const char* __asan_default_options() {
    return "fast_unwind_on_malloc=0";
}
extern "C" const char* __lsan_default_suppressions() {
    return "leak:call_init\n"             // what shared libraries allocate while loading
           "leak:gst_update_registry\n"   // GStreamer's plug-in registry
           "leak:libmjpegutils-2.1.so\n"  // the mpeg2enc encoder's picture buffers
           "leak:libmpeg2encpp-2.1.so\n"
           "leak:libgstlibav.so\n"     // codec contexts of the libav elements
           "leak:libdbus-1.so\n"       // the session-bus connection of Qt's X11 platform
           "leak:libfontconfig.so\n";  // the font cache
}
#endif
