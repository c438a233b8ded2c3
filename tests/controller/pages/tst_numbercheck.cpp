#include "controller/pages/NumberCheck.h"
#include "controller/pages/OptionEnabling.h"
#include "core/Options.h"

#include <QTest>

class TestNumberCheck : public QObject
{
    Q_OBJECT

    static QString message(Opt field, const QString &text)
    {
        return NumberField::invalidMessage(*NumberField::rule(field), text);
    }

private slots:
    void rangeCodes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("code");
        QTest::newRow("empty") << QString() << int(NumberNotNumeric);
        QTest::newRow("blank") << u"  "_qs << int(NumberNotNumeric);
        QTest::newRow("letters") << u"abc"_qs << int(NumberNotNumeric);
        QTest::newRow("trailing junk") << u"12x"_qs << int(NumberNotNumeric);
        QTest::newRow("two minus") << u"1-2"_qs << int(NumberNotNumeric);
        QTest::newRow("infinity") << u"inf"_qs << int(NumberNotNumeric);
        QTest::newRow("minimum") << u"-5"_qs << int(NumberValid);
        QTest::newRow("below") << u"-5.01"_qs << int(NumberBelowMinimum);
        QTest::newRow("maximum") << u"5"_qs << int(NumberValid);
        QTest::newRow("above") << u"5.5"_qs << int(NumberAboveMaximum);
        QTest::newRow("blanks around") << u" 3 "_qs << int(NumberValid);
        QTest::newRow("fraction") << u"2.25"_qs << int(NumberValid);
        QTest::newRow("exponent") << u"4e-1"_qs << int(NumberValid);
        QTest::newRow("zero") << u"0"_qs << int(NumberZeroNotAllowed);
        QTest::newRow("negative zero") << u"-0.0"_qs << int(NumberZeroNotAllowed);
    }
    void rangeCodes()
    {
        QFETCH(QString, text);
        QFETCH(int, code);
        QCOMPARE(checkNumberRange(text, -5, 5, true), code);
    }

    void zeroIsFineUnlessRefused()
    {
        QCOMPARE(checkNumberRange(u"0"_qs, -5, 5, false), int(NumberValid));
        // The range comes first: zero below the minimum is "below", not "zero".
        QCOMPARE(checkNumberRange(u"0"_qs, 1, 5, true), int(NumberBelowMinimum));
    }

    void fieldLimitsAndMessages()
    {
        QVERIFY(message(Opt::txtMinutes, u"0"_qs).isEmpty());
        QVERIFY(message(Opt::txtMinutes, u"0.25"_qs).isEmpty());
        QCOMPARE(
            message(Opt::txtMinutes, u"-1"_qs),
            u"更新間隔の指定が正しくありません。\r\n0 以上の単精度浮動小数点数で指定して下さい。"_qs);

        QCOMPARE(message(Opt::txtZoomImage, u"0"_qs),
                 u"画像倍率の指定が正しくありません。\r\n0～10000の整数で指定して下さい。"_qs);
        QVERIFY(message(Opt::txtZoomImage, u"0.5"_qs).isEmpty());
        QVERIFY(message(Opt::txtZoomImage, u"10000"_qs).isEmpty());
        QVERIFY(!message(Opt::txtZoomImage, u"10000.5"_qs).isEmpty());

        QCOMPARE(message(Opt::txtMaxWidth, u"32768"_qs),
                 u"横幅の最大値の指定が正しくありません。\r\n1～ 32767の整数で指定して下さい。"_qs);
        QVERIFY(message(Opt::txtMaxWidth, u"1"_qs).isEmpty());
        QVERIFY(!message(Opt::txtMaxWidth, u"0"_qs).isEmpty());
        QCOMPARE(message(Opt::txtMaxHeight, u""_qs),
                 u"高さの最大値の指定が正しくありません。\r\n1～ 32767の整数で指定して下さい。"_qs);

        QVERIFY(message(Opt::txtFixY, u"12.5"_qs).isEmpty());
        QVERIFY(message(Opt::txtFixX, u"-32768"_qs).isEmpty());
        QCOMPARE(message(Opt::txtFixX, u"-32769"_qs),
                 u"X座標の指定が正しくありません。\r\n-32768～ 32767の整数で指定して下さい。"_qs);
        QCOMPARE(message(Opt::txtFixY, u"32768"_qs),
                 u"Y座標の指定が正しくありません。\r\n-32768～ 32767の整数で指定して下さい。"_qs);

        QCOMPARE(
            message(Opt::txtMp_FastForward, u"abc"_qs),
            u"早送りの早さの指定が正しくありません。\r\n倍精度浮動小数点数で指定して下さい。"_qs);
        QCOMPARE(
            message(Opt::txtMp_FastReverse, u""_qs),
            u"巻き戻しの早さの指定が正しくありません。\r\n倍精度浮動小数点数で指定して下さい。"_qs);
        QVERIFY(message(Opt::txtMp_FastReverse, u"-0.5"_qs).isEmpty());
        QVERIFY(!NumberField::rule(Opt::txtMp_FastForward)->holdsFocus);
        QVERIFY(!NumberField::rule(Opt::txtMp_FastReverse)->holdsFocus);

        QCOMPARE(message(Opt::txtBGM_PlayCount, u"32768"_qs),
                 u"再生回数の指定が正しくありません。\r\n0 ～ 32767の整数を指定して下さい。"_qs);
        QVERIFY(message(Opt::txtBGM_PlayCount, u"0"_qs).isEmpty());
        QCOMPARE(message(Opt::txtBGM_StartingEntry, u"0"_qs),
                 u"曲の番号の指定が正しくありません。\r\n1 ～ 32767の整数を指定して下さい。"_qs);
        // A fraction in range passes; the player rounds it.
        QVERIFY(message(Opt::txtBGM_StartingEntry, u"2.5"_qs).isEmpty());

        QVERIFY(NumberField::rule(Opt::txtBackColor) == nullptr);
        QVERIFY(NumberField::rule(Opt::txtBGM) == nullptr);
    }

    void keyFilters()
    {
        auto accepts = [](Opt field, QChar c) {
            return NumberField::acceptsKey(*NumberField::rule(field), c);
        };
        QVERIFY(accepts(Opt::txtFixX, u'-'));
        QVERIFY(!accepts(Opt::txtFixX, u'.'));
        QVERIFY(accepts(Opt::txtFixY, u'.'));
        QVERIFY(accepts(Opt::txtFixY, u'-'));
        for (Opt f : { Opt::txtMaxWidth, Opt::txtMaxHeight, Opt::txtBGM_PlayCount,
                       Opt::txtBGM_StartingEntry }) {
            QVERIFY(accepts(f, u'7'));
            QVERIFY(!accepts(f, u'-'));
            QVERIFY(!accepts(f, u'a'));
            QVERIFY(accepts(f, u'\b'));
        }
        for (Opt f : { Opt::txtMinutes, Opt::txtZoomImage, Opt::txtMp_FastForward })
            QVERIFY(accepts(f, u'x'));
    }

    void enablingFollowsTheMasters()
    {
        Options o;
        auto on = [&o](const char *name) {
            return OptionEnabling::isEnabled(o, QString::fromLatin1(name));
        };
        // Defaults: list order, nothing fixed or limited.
        for (const char *name :
             { "chkSortDescending", "chkSortFolderDepth", "chkSortRandom", "cmbFixFormLocation",
               "txtFixX", "txtFixY", "cmdGetResentLocation", "txtMaxWidth", "cmdMaxWidth",
               "txtMaxHeight", "cmdMaxHeight", "chkFixHeightWidthRate", "optNotSave",
               "optOverWrite" })
            QVERIFY2(!on(name), name);
        QVERIFY(on("txtZoomImage"));
        QVERIFY(on("chkLoop"));

        o.setOption(Opt::optSortByFileName, true);
        QVERIFY(on("chkSortDescending") && on("chkSortFolderDepth") && !on("chkSortRandom"));
        o.setOption(Opt::optSortRandom, true);
        QVERIFY(!on("chkSortDescending") && !on("chkSortFolderDepth") && on("chkSortRandom"));
        o.setOption(Opt::optNoSort, true);
        QVERIFY(!on("chkSortDescending") && !on("chkSortFolderDepth") && !on("chkSortRandom"));

        o.setCheck(Opt::chkFixForm, 1);
        QVERIFY(on("cmbFixFormLocation") && on("txtFixX") && on("txtFixY")
                && on("cmdGetResentLocation"));
        o.setCheck(Opt::chkMaxHeight, 1);
        QVERIFY(on("txtMaxHeight") && on("cmdMaxHeight") && !on("txtMaxWidth"));
        o.setCheck(Opt::chkNotConfirmSaveShiori, 1);
        QVERIFY(on("optNotSave") && on("optOverWrite"));
        o.setCheck(Opt::chkStretchImage, 1);
        QVERIFY(on("chkFixHeightWidthRate"));

        QVERIFY(OptionEnabling::isMaster(Opt::optSortRandom));
        QVERIFY(!OptionEnabling::isMaster(Opt::chkLoop));
    }
};

QTEST_GUILESS_MAIN(TestNumberCheck)
#include "tst_numbercheck.moc"
