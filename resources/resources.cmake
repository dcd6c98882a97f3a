# Every file embedded in the library: one "TYPE|KEY|path relative to resources/" entry each.
# Subsystems append their own lines; platform::FindResource(type, key) finds them.
set(VORNA_RESOURCES "")
