// libFuzzer entry point of one target, chosen by EMFORCE_FUZZ_TARGET when it is built.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>

#include "fuzz_support.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        return emforce::fuzz::EMFORCE_FUZZ_TARGET(data, size);
    } catch (const emforce::fuzz::FuzzFailure& e) {
        std::fprintf(stderr, "fuzz check failed: %s\n", e.what());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "exception escaped: %s\n", e.what());
    }
    std::abort();
}
