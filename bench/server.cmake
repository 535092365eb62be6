# Save and fetch through the real repository server, against the same bytes through
# the wire framing alone.
add_executable(bench_server ${CMAKE_CURRENT_SOURCE_DIR}/ServerBench.cpp)
target_include_directories(bench_server PRIVATE ${CMAKE_SOURCE_DIR}/tests/server)
target_compile_definitions(bench_server PRIVATE FD_BINARY_DIR_DEFAULT="${CMAKE_BINARY_DIR}")
target_link_libraries(bench_server PRIVATE fd_server_core benchmark::benchmark Threads::Threads fd_warnings)
if(TARGET repository-server)
    add_dependencies(bench_server repository-server)
endif()
