#pragma once

// What the window tests share about loads, which run in the background: a command that
// starts one returns at once, and its files reach the table when the load has been applied.
#include <QTest>
#include <memory>
#include <string>

#include "library/library.h"
#include "support/gate.h"

namespace ambrel::test {

// Lets the event loop run until the library's load has ended and been applied, as a user
// waits for the bar to go; false when that takes longer than half a minute.
inline bool AwaitLoad(const ambrel::Library& library) {
    return QTest::qWaitFor([&] { return !library.IsBusy(); }, 30000);
}

// Has every later load of the library hold its read of path until the test releases the gate
// it returns, as a slow disk would: the test starts a load and awaits the gate.
inline std::shared_ptr<Gate> HoldReadOf(ambrel::Library& library, const std::string& path) {
    auto gate = std::make_shared<Gate>(path);
    ambrel::LoadOptions options;
    options.before_read = [gate](const std::string& read) { gate->At(read); };
    library.SetLoadOptions(options);
    return gate;
}

}  // namespace ambrel::test
