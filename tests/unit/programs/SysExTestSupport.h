#pragma once
// Helpers shared by the SysEx tests: the real voice-bank dumps, parameter values at their
// defaults, and building messages from records.

#include "engine/InstrumentParams.h"
#include "programs/SysExFormat.h"
#include "programs/VoiceRecordLayout.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace sysextest {

inline std::string RealDumpFolder() {
#ifdef VORNA_SYX_TESTDATA
    return VORNA_SYX_TESTDATA;
#else
    return std::string();
#endif
}

inline const std::vector<std::string>& RealDumpNames() {
    static const std::vector<std::string> names = {"fb01_pianos.syx", "fb01_plucked.syx",
                                                   "dx21conv_09.syx"};
    return names;
}

// The whole file; empty when it cannot be read.
inline programs::Bytes ReadWholeFile(const std::string& path) {
    programs::Bytes bytes;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return bytes;
    int c;
    while ((c = std::fgetc(file)) != EOF) bytes.push_back(static_cast<std::uint8_t>(c));
    std::fclose(file);
    return bytes;
}

inline programs::Bytes ReadRealDump(const std::string& name) {
    return ReadWholeFile(RealDumpFolder() + "/" + name);
}

// A CI run (CI=true) must have the real dumps: there a missing folder fails the test, so that a
// run without the data can never pass unnoticed. Elsewhere the tests that need them skip.
inline bool RunningInCi() {
    const char* value = std::getenv("CI");
    return value && std::string(value) == "true";
}

#define SKIP_WITHOUT_REAL_DUMPS()                                                                  \
    do {                                                                                           \
        if (sysextest::ReadRealDump("fb01_pianos.syx").empty()) {                                  \
            if (sysextest::RunningInCi())                                                          \
                FAIL() << "the real voice-bank dumps are not in " << sysextest::RealDumpFolder();  \
            GTEST_SKIP() << "the real voice-bank dumps are not in "                                \
                         << sysextest::RealDumpFolder();                                           \
        }                                                                                          \
    } while (0)

inline programs::ParamValues DefaultValues() {
    programs::ParamValues values{};
    const auto& table = engine::InstrumentParamDefinitions();
    for (int i = 0; i < engine::kParamCount; ++i)
        values[static_cast<std::size_t>(i)] = table[static_cast<std::size_t>(i)].defaultValue;
    return values;
}

inline programs::Bytes SingleVoiceDump(const programs::VoiceRecord& record) {
    return programs::BuildSingleVoiceDump(programs::EncodeVoiceBlock(record));
}

inline programs::Bytes BankDump(const std::vector<programs::VoiceRecord>& records, int bank) {
    std::vector<programs::VoiceBlock> blocks;
    for (const auto& record : records) blocks.push_back(programs::EncodeVoiceBlock(record));
    return programs::BuildBankDump(blocks, bank);
}

// A record with a recognisable name and every byte set to something.
inline programs::VoiceRecord PatternRecord(int seed) {
    programs::VoiceRecord record{};
    for (std::size_t i = 0; i < record.size(); ++i)
        record[i] = static_cast<std::uint8_t>((seed * 37 + static_cast<int>(i) * 11) & 0x7F);
    const char name[] = "Voice  ";
    for (int i = 0; i < 7; ++i)
        record[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(name[i]);
    record[6] = static_cast<std::uint8_t>('A' + seed % 26);
    return record;
}

} // namespace sysextest
