#pragma once

#include <QTest>

// Skips a case that another run of the same test program covers (on another server, at
// another ratio, in another session). Unlike a case that cannot run here at all, it does
// not make the whole run count as skipped (run_test.sh).
#define ZARNEL_NOT_IN_THIS_RUN(why) QSKIP("not in this run: " why)
