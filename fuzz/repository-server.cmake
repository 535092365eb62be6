# The repository server's request handler on arbitrary request texts.
fd_add_fuzzer(repository_server_handler ${CMAKE_CURRENT_LIST_DIR}/RepositoryServerFuzz.cpp)
target_link_libraries(fuzz_repository_server_handler PRIVATE fd_repository_server fd_warnings)
# The server's connection loop on the raw bytes of one connection.
fd_add_fuzzer(repository_server_loop ${CMAKE_CURRENT_LIST_DIR}/ServerLoopFuzz.cpp)
target_link_libraries(fuzz_repository_server_loop PRIVATE fd_repository_server fd_warnings)
