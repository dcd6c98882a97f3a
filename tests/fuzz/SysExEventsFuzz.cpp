// SysEx events as a host delivers them, in pieces: the input is cut into events by length bytes
// and handed to the instrument one after another. Nothing crashes, and events of which none ends
// with F7 change nothing.

#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vorn::Vorn& plugin = fuzz::Instance();
    // Each event: one length byte (times 32 when its top bit is set, so long dumps are reachable),
    // then that many bytes, or what is left.
    std::vector<std::vector<std::uint8_t>> events;
    std::size_t p = 0;
    while (p < size) {
        std::size_t length = data[p] & 0x7F;
        if (data[p] & 0x80) length *= 32;
        ++p;
        length = std::min(length, size - p);
        events.emplace_back(data + p, data + p + length);
        p += length;
    }
    bool completes = false;
    for (const auto& event : events)
        if (!event.empty() && event.back() == 0xF7) completes = true;

    fuzz::Snapshot before(plugin);
    for (const auto& event : events)
        plugin.HandleSysEx(host::SysExMessage{0, static_cast<int>(event.size()), event.data()});
    if (!completes)
        fuzz::Require(fuzz::Snapshot(plugin) == before, "an unfinished message changes nothing");
    // A fresh message afterwards starts from an empty buffer.
    static const std::uint8_t change[] = {0xF0, 0x43, 0x75, 0x00, 0x18, 0x4C, 0x02, 0x00, 0xF7};
    plugin.HandleSysEx(host::SysExMessage{0, static_cast<int>(sizeof change), change});
    fuzz::Require(plugin.GetParam(6).Value() == 2, "a complete message after any events applies");
    return 0;
}
