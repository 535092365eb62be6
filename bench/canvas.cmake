if(TARGET fd_window)
    add_executable(bench_canvas ${CMAKE_CURRENT_SOURCE_DIR}/QtBenchMain.cpp
        ${CMAKE_CURRENT_SOURCE_DIR}/CanvasBench.cpp ${CMAKE_CURRENT_SOURCE_DIR}/ExportBench.cpp)
    target_link_libraries(bench_canvas PRIVATE fd_window benchmark::benchmark fd_warnings)
endif()
