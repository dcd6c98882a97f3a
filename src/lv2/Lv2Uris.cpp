#include "lv2/Lv2Uris.h"

#include "lv2/Lv2Identity.h"

#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/midi/midi.h>
#include <lv2/parameters/parameters.h>

namespace lv2 {

Uris Uris::Map(LV2_URID_Map* map) {
    auto id = [map](const char* uri) { return map->map(map->handle, uri); };
    Uris uris;
    uris.atomChunk = id(LV2_ATOM__Chunk);
    uris.atomFloat = id(LV2_ATOM__Float);
    uris.atomInt = id(LV2_ATOM__Int);
    uris.atomSequence = id(LV2_ATOM__Sequence);
    uris.midiEvent = id(LV2_MIDI__MidiEvent);
    uris.maxBlockLength = id(LV2_BUF_SIZE__maxBlockLength);
    uris.nominalBlockLength = id(LV2_BUF_SIZE__nominalBlockLength);
    uris.sampleRate = id(LV2_PARAMETERS__sampleRate);
    uris.stateBank = id(kStateBankUri);
    uris.stateProgram = id(kStateProgramUri);
    return uris;
}

} // namespace lv2
