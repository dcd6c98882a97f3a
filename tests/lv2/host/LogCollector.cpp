#include "LogCollector.h"

#include <cstdarg>
#include <cstdio>

namespace lv2_test {

LogCollector::LogCollector(UridMap& map) : map_(map) {
    log_.handle = this;
    log_.printf = &Printf;
    log_.vprintf = &Vprintf;
}

std::string LogCollector::Text() const {
    std::string text;
    for (const LogMessage& message : messages_) text += message.type + ": " + message.text + "\n";
    return text;
}

int LogCollector::Printf(LV2_Log_Handle handle, LV2_URID type, const char* format, ...) {
    va_list args;
    va_start(args, format);
    int written = Vprintf(handle, type, format, args);
    va_end(args);
    return written;
}

int LogCollector::Vprintf(LV2_Log_Handle handle, LV2_URID type, const char* format, va_list args) {
    auto* self = static_cast<LogCollector*>(handle);
    va_list measure;
    va_copy(measure, args);
    int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length < 0) return length;
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    std::vsnprintf(&text[0], text.size(), format, args);
    text.resize(static_cast<std::size_t>(length));
    const char* uri = self->map_.Unmap(type);
    self->messages_.push_back(LogMessage{uri ? uri : "(unmapped type)", text});
    return length;
}

} // namespace lv2_test
