// Chunks from a host through effSetChunk, as bank (index 0) and program (index 1) and from a quirk
// host: a refused bank chunk changes no program, and whatever was accepted can be given back.

#include "FuzzSupport.h"

namespace {

vst2::IntPtr SetChunk(vst2::AEffect* effect, int index, const std::uint8_t* data,
                      std::size_t size) {
    std::vector<std::uint8_t> copy(data, data + size); // the host's buffer is not ours to keep
    return effect->dispatcher(effect, vst2::effSetChunk, index,
                              static_cast<vst2::IntPtr>(copy.size()),
                              copy.empty() ? nullptr : copy.data(), 0.0f);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    int mode = data[0] % 3;
    ++data;
    --size;
    vst2::AEffect* effect =
        mode == 2 ? fuzz::InstanceEffect<true>() : fuzz::InstanceEffect<false>();
    vorn::Vorn& plugin = mode == 2 ? fuzz::Instance<true>() : fuzz::Instance<false>();
    fuzz::Snapshot before(plugin);
    vst2::IntPtr result = SetChunk(effect, mode == 1 ? 1 : 0, data, size);
    fuzz::Require(result == 0 || result == 1, "effSetChunk answers 0 or 1");
    // An ordinary host's refused chunk, bank or program, changes nothing at all.
    if (result == 0 && mode != 2)
        fuzz::Require(fuzz::Snapshot(plugin) == before, "a refused chunk keeps every program");
    void* out = nullptr;
    vst2::IntPtr bank = effect->dispatcher(effect, vst2::effGetChunk, 0, 0, &out, 0.0f);
    fuzz::Require(bank > 0 && out != nullptr, "a bank chunk can always be given back");
    return 0;
}
