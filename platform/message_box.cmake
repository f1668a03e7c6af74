# The platform's message box (headless: records boxes and answers with the default button).
add_library(tw_msgbox_platform STATIC ${CMAKE_CURRENT_LIST_DIR}/message_box.cpp)
target_include_directories(tw_msgbox_platform PUBLIC ${PROJECT_SOURCE_DIR})
