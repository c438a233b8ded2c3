#include "core/TextFileCodec.h"

#include <QTest>

class TestTextFileCodec : public QObject
{
    Q_OBJECT
private slots:
    void decodesUtf8AndCp932()
    {
        const QString utf8Text = u"C:\\写真\\é😀.jpg"_qs;
        QCOMPARE(TextFileCodec::decode(utf8Text.toUtf8()), utf8Text);
        QCOMPARE(TextFileCodec::decode("\xEF\xBB\xBF" + utf8Text.toUtf8()), utf8Text);
        // "C:\テスト\表.jpg" as a Windows tool writes it; the backslashes must survive
        // (a Shift_JIS decoder would turn them into yen signs).
        const QByteArray cp932("C:\\\x83\x65\x83\x58\x83\x67\\\x95\x5c.jpg");
        QCOMPARE(TextFileCodec::decode(cp932), u"C:\\テスト\\表.jpg"_qs);
        QCOMPARE(TextFileCodec::decode(QByteArray()), QString());
    }

    void linesEndAtCrOnly()
    {
        QCOMPARE(TextFileCodec::splitCrLines(u"a\r\nb\rc\nd\r\n\r\ne"_qs),
                 (QStringList { u"a"_qs, u"b"_qs, u"c\nd"_qs, QString(), u"e"_qs }));
        QCOMPARE(TextFileCodec::splitCrLines(u"x\r\n"_qs), QStringList { u"x"_qs });
        QVERIFY(TextFileCodec::splitCrLines(QString()).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestTextFileCodec)
#include "tst_textfilecodec.moc"
