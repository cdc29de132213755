zarnel_add_test(tst_rubberband ${CMAKE_CURRENT_LIST_DIR}/tst_rubberband.cpp OFFSCREEN)
