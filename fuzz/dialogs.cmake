# The dialogs' logic on arbitrary stored settings and typed entries.
fd_add_fuzzer(dialogs_logic ${CMAKE_CURRENT_LIST_DIR}/DialogsFuzz.cpp)
target_link_libraries(fuzz_dialogs_logic PRIVATE fd_dialogs)
