// One thread renders while another changes and reads parameters and asks for texts, as a host's
// audio and user-interface threads do. Under ThreadSanitizer this must give no report; everywhere
// it must end with the values the second thread wrote.

#include "VornTestSupport.h"

#include <atomic>
#include <thread>

TEST(Threading, RenderingAndParameterTrafficRunConcurrently) {
    VornInstance vorn;
    vorn.host.Open(48000, 256);
    vst2::AEffect* effect = vorn.Effect();
    std::atomic<bool> stop{false};

    std::thread audio([&] {
        std::vector<float> in(256), left(256), right(256);
        float* inputs[] = {in.data()};
        float* outputs[] = {left.data(), right.data()};
        while (!stop.load()) effect->processReplacing(effect, inputs, outputs, 256);
    });

    char text[64];
    for (int round = 0; round < 300; ++round) {
        int index = round % 91;
        effect->setParameter(effect, index, static_cast<float>((round % 10) / 10.0));
        effect->getParameter(effect, index);
        effect->dispatcher(effect, vst2::effGetParamDisplay, index, 0, text, 0);
        effect->dispatcher(effect, vst2::effGetParamName, index, 0, text, 0);
        effect->dispatcher(effect, vst2::effString2Parameter, 17, 0, const_cast<char*>("100"), 0);
    }
    stop = true;
    audio.join();
    EXPECT_EQ(vorn.Plugin().GetParam(17).Value(), 100);
}
