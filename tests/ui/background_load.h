#pragma once

// What the window tests share about loads, which run in the background: a command that
// starts one returns at once, and its files reach the table when the load has been applied.
#include <QTest>

#include "library/library.h"

namespace ambrel::test {

// Lets the event loop run until the library's load has ended and been applied, as a user
// waits for the bar to go; false when that takes longer than half a minute.
inline bool AwaitLoad(const ambrel::Library& library) {
    return QTest::qWaitFor([&] { return !library.IsBusy(); }, 30000);
}

}  // namespace ambrel::test
