// ThreadSanitizer's view of Qt. Qt is not built with it, and Qt's own worker
// threads (the pool that converts and scales images while widgets paint, the
// test library's watchdog, the threads Qt starts while a window is shown, whose
// memory glib's allocator recycles) hand memory over through Qt's and glib's
// futex-based locks, which ThreadSanitizer
// cannot see; it then reports the hand-over as a race. Only memory that Qt's
// libraries allocate and free themselves is taken out of the checks (calls
// into the runtime made from inside Qt): every access the program's own code
// makes, on any thread, is still checked.

#if defined(__SANITIZE_THREAD__)
extern "C" const char* __tsan_default_suppressions()
{
    return "called_from_lib:libQt6Core.so.6\n"
           "called_from_lib:libQt6Gui.so.6\n"
           "called_from_lib:libQt6Test.so.6\n"
           "called_from_lib:libglib-2.0.so.0\n";
}
#endif
