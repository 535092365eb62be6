# The framing decoder (field lists, sequence fields, frames off a socket).
fd_add_fuzzer(wire_framing ${CMAKE_CURRENT_LIST_DIR}/WireFuzz.cpp)
target_link_libraries(fuzz_wire_framing PRIVATE fd_wire)
