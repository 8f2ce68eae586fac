// A shared library that exports nothing a server needs.
extern "C" __attribute__((visibility("default"))) int PlainLibraryAnswer() {
    return 42;
}
