#pragma once
// Included before every test source. QtTest's QVERIFY, QCOMPARE and QTRY_*
// macros report to QtTest's own result log, which a GoogleTest program never
// reads: a failing check would return silently and the test would pass. The
// waiting ones the tests use report to GoogleTest here, with the same early
// return; the others are poisoned, so that a test cannot use them by mistake.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>

#include <functional>

namespace ardeviz_test {
// Runs the event loop until the condition holds or the time is up.
inline bool WaitFor(const std::function<bool()>& condition, int timeoutMs) {
  QElapsedTimer clock;
  clock.start();
  while (!condition()) {
    if (clock.elapsed() > timeoutMs) return condition();
    QTest::qWait(5);
  }
  return true;
}
}  // namespace ardeviz_test

#undef QVERIFY
#undef QVERIFY2
#undef QCOMPARE
#undef QTRY_VERIFY
#undef QTRY_VERIFY2
#pragma GCC poison QVERIFY QVERIFY2 QCOMPARE QTRY_VERIFY QTRY_VERIFY2

#undef QTRY_VERIFY2_WITH_TIMEOUT
#define QTRY_VERIFY2_WITH_TIMEOUT(expr, description, timeout)                               \
  do {                                                                                      \
    if (!::ardeviz_test::WaitFor([&]() -> bool { return static_cast<bool>(expr); }, (timeout))) { \
      ADD_FAILURE() << "timed out after " << (timeout) << " ms waiting for " #expr << ": "  \
                    << (description);                                                       \
      return;                                                                               \
    }                                                                                       \
  } while (false)

#undef QTRY_VERIFY_WITH_TIMEOUT
#define QTRY_VERIFY_WITH_TIMEOUT(expr, timeout) QTRY_VERIFY2_WITH_TIMEOUT(expr, "", timeout)
#undef QTRY_COMPARE_WITH_TIMEOUT
#define QTRY_COMPARE_WITH_TIMEOUT(actual, expected, timeout) \
  QTRY_VERIFY2_WITH_TIMEOUT((actual) == (expected), #actual " == " #expected, timeout)
#undef QTRY_COMPARE
#define QTRY_COMPARE(actual, expected) QTRY_COMPARE_WITH_TIMEOUT(actual, expected, 5000)
