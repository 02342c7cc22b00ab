#pragma once

#include <QByteArray>
#include <QSettings>
#include <QString>
#include <QTemporaryDir>
#include <QtTest>
#include <vector>

#include "ui/app/ambrel_application.h"

// Runs a window test under the program's own application class, with settings of its own in
// a fresh directory, so that no test reads or writes the user's. An optional "--shots DIR"
// argument names a directory where the test saves pictures of the windows; it is taken out
// before QtTest sees the arguments. Only the settings move: QStandardPaths' test mode would
// also move the cache folder, which the update tests choose themselves.
template <typename TestObject>
int RunWindowTest(int argc, char** argv, QString* shots_dir = nullptr) {
    const QTemporaryDir settings;
    for (const auto format : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(format, QSettings::UserScope, settings.path());
    std::vector<char*> rest;
    for (int i = 0; i < argc; ++i) {
        if (QByteArray(argv[i]) == "--shots" && i + 1 < argc) {
            if (shots_dir) *shots_dir = QString::fromLocal8Bit(argv[i + 1]);
            ++i;
            continue;
        }
        rest.push_back(argv[i]);
    }
    int count = static_cast<int>(rest.size());
    ambrel::ui::AmbrelApplication app(count, rest.data());
    TestObject test;
    return QTest::qExec(&test, count, rest.data());
}
