add_executable(bench_layout ${CMAKE_CURRENT_SOURCE_DIR}/LayoutBench.cpp)
target_link_libraries(bench_layout PRIVATE fd_canvas_model benchmark::benchmark fd_warnings)
