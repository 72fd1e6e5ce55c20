#pragma once
// Included before every test source. QtTest's QVERIFY, QCOMPARE and QTRY_*
// macros report to QtTest's own result log, which a GoogleTest program never
// reads: a failing check would return silently and the test would pass. Here
// they report to GoogleTest instead, with the same early return.

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
#define QVERIFY(statement)                                    \
  do {                                                        \
    if (!static_cast<bool>(statement)) {                      \
      ADD_FAILURE() << "QVERIFY(" #statement ") failed";      \
      return;                                                 \
    }                                                         \
  } while (false)

#undef QVERIFY2
#define QVERIFY2(statement, description)                               \
  do {                                                                 \
    if (!static_cast<bool>(statement)) {                               \
      ADD_FAILURE() << "QVERIFY2(" #statement ") failed: " << (description); \
      return;                                                          \
    }                                                                  \
  } while (false)

#undef QCOMPARE
#define QCOMPARE(actual, expected)                                        \
  do {                                                                    \
    if (!((actual) == (expected))) {                                      \
      ADD_FAILURE() << "QCOMPARE(" #actual ", " #expected ") failed";     \
      return;                                                             \
    }                                                                     \
  } while (false)

#undef QTRY_VERIFY_WITH_TIMEOUT
#define QTRY_VERIFY_WITH_TIMEOUT(expr, timeout)                                             \
  do {                                                                                      \
    if (!::ardeviz_test::WaitFor([&]() -> bool { return static_cast<bool>(expr); }, (timeout))) { \
      ADD_FAILURE() << "timed out after " << (timeout) << " ms waiting for " #expr;         \
      return;                                                                               \
    }                                                                                       \
  } while (false)

#undef QTRY_VERIFY2_WITH_TIMEOUT
#define QTRY_VERIFY2_WITH_TIMEOUT(expr, description, timeout)                               \
  do {                                                                                      \
    if (!::ardeviz_test::WaitFor([&]() -> bool { return static_cast<bool>(expr); }, (timeout))) { \
      ADD_FAILURE() << "timed out after " << (timeout) << " ms waiting for " #expr << ": "  \
                    << (description);                                                       \
      return;                                                                               \
    }                                                                                       \
  } while (false)

#undef QTRY_VERIFY
#define QTRY_VERIFY(expr) QTRY_VERIFY_WITH_TIMEOUT(expr, 5000)
#undef QTRY_VERIFY2
#define QTRY_VERIFY2(expr, description) QTRY_VERIFY2_WITH_TIMEOUT(expr, description, 5000)
#undef QTRY_COMPARE_WITH_TIMEOUT
#define QTRY_COMPARE_WITH_TIMEOUT(actual, expected, timeout) \
  QTRY_VERIFY2_WITH_TIMEOUT((actual) == (expected), #actual " == " #expected, timeout)
#undef QTRY_COMPARE
#define QTRY_COMPARE(actual, expected) QTRY_COMPARE_WITH_TIMEOUT(actual, expected, 5000)
