# The Win32 editor window and its parts (text entry, tooltip, menus, dialogs).
target_sources(vorna_window PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/Win32EditorWindow.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Win32FileDialogs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Win32LongFileNames.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Win32NativeWindow.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Win32PopupMenu.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Win32SystemScale.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Win32TextEntry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Win32Tooltip.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Win32UiServices.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Win32WindowClass.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Win32WindowMessages.cpp)
target_link_libraries(vorna_window PRIVATE user32 gdi32 comctl32 comdlg32 shell32 ole32 wininet)
