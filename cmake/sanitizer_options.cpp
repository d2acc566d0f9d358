// Linked into every program of the sanitizer build.
//
// Watching the dynamic linker hand out the thread-local blocks of libraries loaded at run time, the
// leak checker guesses each block's extent from the bytes before it; for a block 16 bytes into a
// page it takes the heap allocator's header for the extent and crashes at exit. It needs no guess:
// the linker allocates those blocks on the heap, and the leak checker scans whatever the linker
// allocated, so pointers held in them are still found.
extern "C" const char* __asan_default_options()
{
  return "intercept_tls_get_addr=0";
}
