// Runs QML tests (the screens' tests, and the gallery that renders them) against the real C++
// objects, with `harness` (QmlHarness.h) for everything beyond the screens.

#include "QmlHarness.h"

#include <QQmlExtensionPlugin>
#include <QtQuickTest>

Q_IMPORT_QML_PLUGIN(ClipDockPlugin)

#ifndef GALLERY_DIR
#define GALLERY_DIR ""
#endif

class Setup : public QmlTestSetup
{
public:
    Setup() : QmlTestSetup(QStringLiteral(GALLERY_DIR)) { }
};

QUICK_TEST_MAIN_WITH_SETUP(clipdock_qml, Setup)
