#pragma once

#include <QString>

class AppVersion
{
public:
    AppVersion() = delete;

    // The version this build was made as (the project version).
    static QString build();
    // The running application's version: QCoreApplication's, "0.0.0" when none is set.
    static QString current();
    // Whether version `a` is older than `b`: dot-separated decimal numbers compared in order;
    // pieces that are not numbers are dropped, and missing pieces are not padded, so 1.2 is older
    // than 1.2.0.
    static bool isOlder(const QString &a, const QString &b);
};
