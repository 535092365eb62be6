if(TARGET fd_window)
    add_executable(bench_undo ${CMAKE_CURRENT_SOURCE_DIR}/QtBenchMain.cpp
        ${CMAKE_CURRENT_SOURCE_DIR}/UndoBench.cpp)
    target_link_libraries(bench_undo PRIVATE fd_window benchmark::benchmark fd_warnings)
endif()
