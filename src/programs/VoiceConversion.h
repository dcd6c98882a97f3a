#pragma once
// Conversion between the module's 64-byte voice record and the instrument's programs: the values
// a record gives the 91 parameters, the 157-byte program state written from a record, and the
// record built from parameter values.

#include "host/ChunkBuffer.h"
#include "programs/SysExFormat.h"
#include "programs/VoiceRecordLayout.h"

#include <string>

namespace programs {

// Parameter values a record imports: the record's fields for parameters 6 to 90 as read (a field
// wider than its parameter's range is kept; loading the program clamps it), both outputs on, and
// the defaults for parameters 0 to 5, which the record does not hold.
ParamValues VoiceToParamValues(const VoiceRecord& record);

// The record's name: bytes 0 to 6 up to the first zero byte.
std::string VoiceName(const VoiceRecord& record);

// Replaces state with the program state of an imported voice: version tag, program number, the
// seven name bytes unchanged, the six doubles and the 85 parameter bytes. 157 bytes.
void WriteVoiceProgramState(int programIndex, const VoiceRecord& record, host::ChunkBuffer& state);

// The record of a program with these values and name: the name in the module's characters
// (ModuleVoiceName, seven bytes at most, a shorter name followed by zero bytes), the fields, bit 0
// of every operator's second byte set, and 0 in bytes 7, 48 to 57 and 60 to 63.
VoiceRecord ProgramValuesToVoice(const ParamValues& values, const std::string& name);

} // namespace programs
