#pragma once
// The URIDs the adapter uses, mapped once when an instance is made.

#include <lv2/urid/urid.h>

namespace lv2 {

struct Uris {
    LV2_URID atomChunk = 0;
    LV2_URID atomFloat = 0;
    LV2_URID atomInt = 0;
    LV2_URID atomSequence = 0;
    LV2_URID midiEvent = 0;
    LV2_URID maxBlockLength = 0;
    LV2_URID nominalBlockLength = 0;
    LV2_URID sampleRate = 0;
    LV2_URID stateBank = 0;
    LV2_URID stateProgram = 0;

    static Uris Map(LV2_URID_Map* map);
};

} // namespace lv2
