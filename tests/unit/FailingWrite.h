#pragma once
// Makes the next safe write of one file fail on the real file system. Where the OS limits the
// size of written files the write itself fails part-way, as on a full disk; elsewhere (Windows)
// the target is held open by another handle, so that the final replacement fails. Either way the
// old file must survive whole and no temporary file may remain.

#include "platform/FileSizeLimit.h"

#include <string>

class FailingWrite {
public:
    FailingWrite(const std::string& target, long long sizeLimit) {
        limited_ = platform::SetFileSizeLimit(sizeLimit);
        if (!limited_) held_ = platform::HoldFileOpen(target);
    }
    ~FailingWrite() { End(); }
    FailingWrite(const FailingWrite&) = delete;
    FailingWrite& operator=(const FailingWrite&) = delete;

    bool Active() const { return limited_ || held_; }
    // True when only writes past the size limit fail (smaller files still save).
    bool ByLimit() const { return limited_; }
    void End() {
        if (limited_) platform::ClearFileSizeLimit();
        if (held_) platform::ReleaseHeldFile();
        limited_ = held_ = false;
    }

private:
    bool limited_ = false;
    bool held_ = false;
};
