# Reply readers of the server link over arbitrary replies.
fd_add_fuzzer(server_replies ${CMAKE_CURRENT_SOURCE_DIR}/ServerRepliesFuzz.cpp)
target_link_libraries(fuzz_server_replies PRIVATE fd_server_core)
