// The one place that picks the chip kernel: the reference kernel on request, otherwise the group
// kernel of the widest instruction set that this build has and the processor runs.

#include "engine/ChipKernel.h"
#include "engine/VoiceEngine.h"

namespace engine {

namespace {

bool ProcessorHasAvx2() {
#if defined(VORNA_AVX2_KERNEL) && (defined(__GNUC__) || defined(__clang__))
    static const bool has = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") != 0;
    }();
    return has;
#else
    return false;
#endif
}

} // namespace

bool VoiceEngine::ChipKernelAvailable(ChipKernel kernel) {
    return kernel != ChipKernel::Avx2 || ProcessorHasAvx2();
}

bool VoiceEngine::SetChipKernel(ChipKernel kernel) {
    const bool available = ChipKernelAvailable(kernel);
    if (!available || kernel == ChipKernel::Fast)
        kernel = ProcessorHasAvx2() ? ChipKernel::Avx2 : ChipKernel::Sse2;
    chipKernel = kernel;
    switch (kernel) {
#if defined(VORNA_AVX2_KERNEL)
    case ChipKernel::Avx2:
        groupKernel = &ChipGroupAvx2;
        groupEnvelopes = &StepGroupEnvelopesAvx2;
        break;
#endif
    case ChipKernel::Reference:
        groupKernel = nullptr;
        groupEnvelopes = nullptr;
        break;
    default:
        groupKernel = &ChipGroupSse2;
        groupEnvelopes = &StepGroupEnvelopes;
        break;
    }
    return available;
}

} // namespace engine
