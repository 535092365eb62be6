# The forms browser filled and sorted with 5,000 forms, against a plain list fill.
if(TARGET fd_server_qt)
    add_executable(bench_browser ${CMAKE_CURRENT_SOURCE_DIR}/QtBenchMain.cpp
        ${CMAKE_CURRENT_SOURCE_DIR}/BrowserBench.cpp)
    target_include_directories(bench_browser PRIVATE ${CMAKE_SOURCE_DIR}/tests/server)
    target_link_libraries(bench_browser PRIVATE fd_server_qt fd_canvas_model benchmark::benchmark
        fd_warnings)
endif()
