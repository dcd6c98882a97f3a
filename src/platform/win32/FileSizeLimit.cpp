#include "platform/FileSizeLimit.h"

namespace platform {

bool SetFileSizeLimit(long long) {
    return false;
}
void ClearFileSizeLimit() {}

} // namespace platform
