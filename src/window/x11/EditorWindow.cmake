# The X11 editor window and what it draws itself (menus, dialogs, tooltips). Every source of this
# folder belongs to it.
find_package(X11 REQUIRED)
file(GLOB vorna_x11_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*.cpp)
target_sources(vorna_window PRIVATE ${vorna_x11_sources})
target_include_directories(vorna_window SYSTEM PRIVATE ${X11_INCLUDE_DIR})
target_link_libraries(vorna_window PRIVATE ${X11_LIBRARIES})
