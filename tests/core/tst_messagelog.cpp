#include "Sandbox.h"
#include "core/LoggingMessageService.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestMessageLog : public QObject
{
    Q_OBJECT

private slots:
    // Scripts split the log at line ends and tabs: whatever a text holds must not split it.
    void oneLineAMessageWithItsBreaksEscaped()
    {
        Sandbox box;
        LoggingMessageService log(box.path(u"messages.log"_s));
        QCOMPARE(log.show({ u"a\\b\tc\r\nd"_s, MsgIcon::Error, MsgButtons::YesNo, MsgResult::No,
                            u"x\ty"_s }),
                 MsgResult::No);
        QCOMPARE(log.inputBox(u"p"_s, u"c"_s, u"default"_s), u"default"_s);
        QCOMPARE(readFile(box.path(u"messages.log"_s)),
                 "message\terror\tx\\ty\tyes-no\tno\ta\\\\b\\tc\\r\\nd\n"
                 "input\tnone\tc\tok-cancel\tdefault\tp\n");
    }
};

QTEST_GUILESS_MAIN(TestMessageLog)
#include "tst_messagelog.moc"
