// A shared library that is no control library: it has none of the entry points.
extern "C" int plainLibraryAnswer() {
    return 42;
}
