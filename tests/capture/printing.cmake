set(print_helpers ${CMAKE_CURRENT_LIST_DIR}/tst_printHelpers.cpp
                  ${CMAKE_CURRENT_LIST_DIR}/tst_printHelpers.h)
zarnel_add_test(tst_printScreen ${CMAKE_CURRENT_LIST_DIR}/tst_printScreen.cpp ${print_helpers})
zarnel_add_test(tst_printNoDefault ${CMAKE_CURRENT_LIST_DIR}/tst_printNoDefault.cpp ${print_helpers})
# Without the test command's print server these skip; show them as skipped, not passed.
set_tests_properties(tst_printScreen tst_printNoDefault PROPERTIES
  SKIP_REGULAR_EXPRESSION "SKIP   : ")
zarnel_add_test(tst_printViewer ${CMAKE_CURRENT_LIST_DIR}/tst_printViewer.cpp ${print_helpers})
set_tests_properties(tst_printViewer PROPERTIES SKIP_REGULAR_EXPRESSION "SKIP   : ")
