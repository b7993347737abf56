#include <QTest>

class Test : public QObject
{
    Q_OBJECT
};

QTEST_MAIN(Test)
#include "tst_bad_input.moc"
