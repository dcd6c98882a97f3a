#pragma once
// The fuzz targets linked into the replay program, each under the name of its corpus folder.

#include <cstddef>
#include <cstdint>

struct FuzzTarget {
    const char* name;
    int (*run)(const std::uint8_t* data, std::size_t size);
};

// Ends with a row whose name is null.
extern const FuzzTarget kFuzzTargets[];
