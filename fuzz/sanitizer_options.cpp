// AddressSanitizer's defaults for the fuzz targets. Over a million runs its
// quarantine and the stored allocation stacks otherwise grow past libFuzzer's
// 2 GiB memory limit, and recording 30 frames per allocation is most of the
// host target's time. A finding is reproduced with full stacks by running
// the target on it with ASAN_OPTIONS=malloc_context_size=30.

extern "C" const char* __asan_default_options()
{
    return "quarantine_size_mb=32:malloc_context_size=4";
}
