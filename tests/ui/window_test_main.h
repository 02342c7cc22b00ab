#pragma once

#include <QByteArray>
#include <QString>
#include <QtTest>
#include <vector>

#include "ui/app/ambrel_application.h"

// Runs a window test under the program's own application class. An optional
// "--shots DIR" argument names a directory where the test saves pictures of the
// windows; it is taken out before QtTest sees the arguments.
template <typename TestObject>
int RunWindowTest(int argc, char** argv, QString* shots_dir) {
    std::vector<char*> rest;
    for (int i = 0; i < argc; ++i) {
        if (QByteArray(argv[i]) == "--shots" && i + 1 < argc) {
            *shots_dir = QString::fromLocal8Bit(argv[++i]);
            continue;
        }
        rest.push_back(argv[i]);
    }
    int count = static_cast<int>(rest.size());
    ambrel::ui::AmbrelApplication app(count, rest.data());
    TestObject test;
    return QTest::qExec(&test, count, rest.data());
}
