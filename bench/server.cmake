# Save and fetch through the real repository server on SQLite and on PostgreSQL (a cluster
# of its own, started by the tests' script), against the same bytes through the wire
# framing alone; eight clients over one and over two server processes.
add_executable(bench_server ${CMAKE_CURRENT_SOURCE_DIR}/ServerBench.cpp)
target_include_directories(bench_server PRIVATE ${CMAKE_SOURCE_DIR}/tests/server)
target_compile_definitions(bench_server PRIVATE FD_BINARY_DIR_DEFAULT="${CMAKE_BINARY_DIR}"
    FD_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
target_link_libraries(bench_server PRIVATE fd_server_core PostgreSQL::PostgreSQL
    benchmark::benchmark Threads::Threads fd_warnings)
if(TARGET repository-server)
    add_dependencies(bench_server repository-server)
endif()
