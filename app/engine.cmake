# The analysis engine: data modules, calendar, aggregation into years, baseflow filter.
add_library(tw_app STATIC
  ${CMAKE_CURRENT_LIST_DIR}/modules.cpp
  ${CMAKE_CURRENT_LIST_DIR}/calendar.cpp
  ${CMAKE_CURRENT_LIST_DIR}/aggregate.cpp
  ${CMAKE_CURRENT_LIST_DIR}/baseflow.cpp)
target_include_directories(tw_app PUBLIC ${PROJECT_SOURCE_DIR})
# The filter reports its failures in message boxes.
target_link_libraries(tw_app PUBLIC tw_msgbox)
