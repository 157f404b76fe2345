#pragma once

// The part files a transfer keeps in a folder while it runs: none is left once it has ended,
// however it ended.

#include "TestFiles.h"
#include "downloads/MediaFile.h"

inline QStringList partFilesIn(const QString &folder)
{
    QStringList parts = TestFiles::entries(folder);
    parts.removeIf([](const QString &name) { return !MediaFile::isPartFileName(name); });
    return parts;
}
