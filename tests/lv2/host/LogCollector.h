#pragma once
// The host's log feature: keeps every message the plug-in writes, with its type, so that tests can
// ask what it said.

#include "UridMap.h"

#include <lv2/log/log.h>

#include <string>
#include <vector>

namespace lv2_test {

struct LogMessage {
    std::string type; // the message type's URI, e.g. LV2_LOG__Error
    std::string text;
};

class LogCollector {
public:
    explicit LogCollector(UridMap& map);
    LogCollector(const LogCollector&) = delete;
    LogCollector& operator=(const LogCollector&) = delete;

    LV2_Log_Log* Feature() { return &log_; }
    const std::vector<LogMessage>& Messages() const { return messages_; }
    // All messages, one a line, for a failing test's output.
    std::string Text() const;
    void Clear() { messages_.clear(); }

private:
    static int Printf(LV2_Log_Handle handle, LV2_URID type, const char* format, ...);
    static int Vprintf(LV2_Log_Handle handle, LV2_URID type, const char* format, va_list args);

    UridMap& map_;
    LV2_Log_Log log_;
    std::vector<LogMessage> messages_;
};

} // namespace lv2_test
