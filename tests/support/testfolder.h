#pragma once

#include "surroundings/programstate.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

namespace Vorlane {

// A temporary program folder for one test, removed with it.
class TestFolder
{
public:
    TestFolder() { QVERIFY2(m_dir.isValid(), "no temporary folder"); }

    // The folder's path, ending in a separator, as the program's folder is.
    QString appDir() const { return QDir::toNativeSeparators(m_dir.path() + QLatin1Char('/')); }
    QString filePath(const QString &name) const { return appDir() + name; }

private:
    QTemporaryDir m_dir;
};

} // namespace Vorlane
