# The editor window of this OS, compiled into vorna_core beside the portable Graphics core.
target_sources(vorna_core PRIVATE ${PROJECT_SOURCE_DIR}/src/graphics/NoNativeWindow.cpp)
