# Without the test command's print server these skip, and show as skipped.
set(print_helpers tst_printHelpers.cpp tst_printHelpers.h)
zarnel_add_test(tst_printScreen tst_printScreen.cpp ${print_helpers})
zarnel_add_test(tst_printNoDefault tst_printNoDefault.cpp ${print_helpers})
zarnel_add_test(tst_printViewer tst_printViewer.cpp ${print_helpers})
