// One decoder under libFuzzer, chosen at build time by KELVORA_FUZZ_DECODE.
#include "FuzzChecks.h"

#include "imagora/Decoders.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    UseFuzzAllocationLimit();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    TDibRecord dib;
    const std::size_t heap = StartHeapWatch();
    const bool decoded = KELVORA_FUZZ_DECODE(data, size, &dib);
    CheckAndRelease(dib, decoded, heap);
    return 0;
}
