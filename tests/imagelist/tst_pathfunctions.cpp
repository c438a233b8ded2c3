#include "Sandbox.h"
#include "imagelist/PathFunctions.h"

#include <QTest>

class TestPathFunctions : public QObject
{
    Q_OBJECT
private slots:
    void placeholder() { QVERIFY(true); }
};

QTEST_GUILESS_MAIN(TestPathFunctions)
#include "tst_pathfunctions.moc"
