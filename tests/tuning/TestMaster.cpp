// A tuning master library of Vorna's own for tests: it exports the nine functions of the public
// MTS-ESP client interface, plus a few control functions through which a test sets the tuning
// table, the filtered notes and whether a master is connected.

#include <cstring>

#if defined(_WIN32)
#define MASTER_EXPORT extern "C" __declspec(dllexport)
#else
#define MASTER_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {
double table[128];
bool filtered[128];
bool connected = true;
int registrations = 0;

struct Init {
    Init() {
        for (int i = 0; i < 128; ++i) table[i] = 440.0;
    }
} init;
} // namespace

MASTER_EXPORT void MTS_RegisterClient() { ++registrations; }
MASTER_EXPORT void MTS_DeregisterClient() { --registrations; }
MASTER_EXPORT bool MTS_HasMaster() { return connected; }
MASTER_EXPORT bool MTS_ShouldFilterNote(char note, char) { return filtered[note & 127]; }
MASTER_EXPORT bool MTS_ShouldFilterNoteMultiChannel(char note, char) {
    return filtered[note & 127];
}
MASTER_EXPORT const double* MTS_GetTuningTable() { return table; }
MASTER_EXPORT const double* MTS_GetMultiChannelTuningTable(char) { return table; }
MASTER_EXPORT bool MTS_UseMultiChannelTuning(char) { return false; }
MASTER_EXPORT const char* MTS_GetScaleName() { return "test master"; }

// Control functions used by the tests.
MASTER_EXPORT void TestMaster_SetTable(const double* frequencies) {
    std::memcpy(table, frequencies, sizeof table);
}
MASTER_EXPORT void TestMaster_SetFiltered(int note, bool filter) { filtered[note & 127] = filter; }
MASTER_EXPORT void TestMaster_SetConnected(bool value) { connected = value; }
MASTER_EXPORT int TestMaster_Registrations() { return registrations; }
