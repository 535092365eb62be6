# The layout reader (and the writer behind it) on arbitrary bytes.
fd_add_fuzzer(layout_reader ${CMAKE_CURRENT_SOURCE_DIR}/LayoutReaderFuzz.cpp)
target_link_libraries(fuzz_layout_reader PRIVATE fd_canvas_model)
