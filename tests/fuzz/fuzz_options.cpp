// The sanitizer settings of the libFuzzer programs. Their sanitizer run-time is a shared library
// (the project's own shared libraries need it), which the C++ library comes before in the list of
// libraries loaded: that order is known and harmless here.
extern "C" const char* __asan_default_options() {
    return "verify_asan_link_order=0";
}
