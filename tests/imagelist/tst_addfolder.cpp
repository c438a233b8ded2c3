#include "core/SettingKeys.h"
#include "core/SettingsStore.h"
#include "imagelist/AddFolderConditions.h"
#include "imagelist/DateText.h"
#include "imagelist/FileSelection.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using Field = AddFolderConditions::Field;

namespace {

QDateTime at(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s));
}

QString stored(const SettingsStore &store, const QString &key)
{
    return store.GetSetting(SettingKeys::Section::AddFolder, key, u"<none>"_s);
}

} // namespace

class TestAddFolder : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    // A name typed without an extension gets the one of the file type chosen in the dialog.
    void savedNamesGetTheTypesExtension_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("saved");
        QTest::newRow("text file")
            << u"/l/list2"_s << u"テキストファイル(*.txt)"_s << u"/l/list2.txt"_s;
        QTest::newRow("play list") << u"/l/b"_s << u"プレイリスト (*.m3u)"_s << u"/l/b.m3u"_s;
        QTest::newRow("has one") << u"/l/list2.lst"_s << u"テキストファイル(*.txt)"_s
                                 << u"/l/list2.lst"_s;
        QTest::newRow("any file") << u"/l/list2"_s << u"すべてのファイル(*)"_s << u"/l/list2"_s;
        QTest::newRow("dot in the folder")
            << u"/a.b/c"_s << u"しおりファイル(*.kvs)"_s << u"/a.b/c.kvs"_s;
    }
    void savedNamesGetTheTypesExtension()
    {
        QFETCH(QString, path);
        QFETCH(QString, filter);
        QFETCH(QString, saved);
        QCOMPARE(FileSelection::withTypeExtension(path, filter), saved);
    }

    void init() { QFile::remove(SettingsStore::filePathIn(m_dir.path())); }

    void fileSizesAreWholeBytesInTheSignedRange()
    {
        QCOMPARE(AddFolderConditions::readFileSize(u"0"_s), 0);
        QCOMPARE(AddFolderConditions::readFileSize(u"2147483647"_s), 2147483647);
        QCOMPARE(AddFolderConditions::readFileSize(u" 1000 "_s), 1000);
        QCOMPARE(AddFolderConditions::readFileSize(u"1e3"_s), 1000);
        // Fractions pass and round; halves go to the even neighbour.
        QCOMPARE(AddFolderConditions::readFileSize(u"10.4"_s), 10);
        QCOMPARE(AddFolderConditions::readFileSize(u"10.6"_s), 11);
        QCOMPARE(AddFolderConditions::readFileSize(u"2.5"_s), 2);
        for (const QString &bad : { u"-1"_s, u"-0.4"_s, u"2147483648"_s, u"2147483647.4"_s, u""_s,
                                    u"abc"_s, u"12KB"_s, u"inf"_s, u"nan"_s })
            QVERIFY2(!AddFolderConditions::readFileSize(bad), qPrintable(bad));

        QCOMPARE(
            AddFolderConditions::checkFileSizeText(u"x"_s),
            u"ファイルサイズの指定が正しくありません。\r\n0～2147483647の整数で指定して下さい。"_s);
        QVERIFY(AddFolderConditions::checkFileSizeText(u"5"_s).isEmpty());
    }

    void datesUseTheTwoDigitYearWindow()
    {
        QCOMPARE(DateText::parse(u"00/1/1 0:00:00"_s), at(2000, 1, 1));
        QCOMPARE(DateText::parse(u"01/12/31 23:59:59"_s), at(2001, 12, 31, 23, 59, 59));
        QCOMPARE(DateText::parse(u"01/4/13 8:45:00"_s), at(2001, 4, 13, 8, 45));
        QCOMPARE(DateText::parse(u"29/1/1"_s), at(2029, 1, 1));
        QCOMPARE(DateText::parse(u"30/1/1"_s), at(1930, 1, 1));
        QCOMPARE(DateText::parse(u"99/12/31 23:59"_s), at(1999, 12, 31, 23, 59));
        QCOMPARE(DateText::parse(u"2035/02/03 04:05:06"_s), at(2035, 2, 3, 4, 5, 6));
        QCOMPARE(DateText::parse(u"2004-2-29"_s), at(2004, 2, 29));
        // A time alone falls on the day the filter counts from.
        QCOMPARE(DateText::parse(u"8:45:00"_s), at(1899, 12, 30, 8, 45));

        for (const QString &bad :
             { u""_s, u"   "_s, u"abc"_s, u"01/2/30"_s, u"03/2/29"_s, u"01/13/1"_s,
               u"01/4/13 24:00:00"_s, u"01/4/13 8:60"_s, u"01/4/13 8:45 x"_s, u"123/1/1"_s })
            QVERIFY2(!DateText::parse(bad), qPrintable(bad));

        QCOMPARE(
            AddFolderConditions::checkFileTimeText(u"01/2/30"_s),
            u"更新日時の指定が正しくありません。\r\n'01/4/13 8:45:00'のように指定して下さい。"_s);
    }

    void okChecksTheEnabledBoxesThenTheRanges()
    {
        AddFolderConditions c;
        // Groups that are off are not looked at, whatever they hold.
        c.sizeMin = u"x"_s;
        c.timeMax = u"y"_s;
        QVERIFY(c.checkOk().message.isEmpty());

        c = {};
        c.sizeEnabled = true;
        c.sizeMin = u"10"_s;
        c.sizeMax = u"5"_s;
        QCOMPARE(c.checkOk().message, u"ファイルサイズの範囲指定が正しくありません。"_s);
        QCOMPARE(c.checkOk().field, Field::None);
        c.sizeMax = u"10"_s;
        QVERIFY(c.checkOk().message.isEmpty());

        // Both ranges on, the size range valid and the dates reversed.
        c.timeEnabled = true;
        c.timeMin = u"01/12/31 23:59:59"_s;
        c.timeMax = u"01/12/31 23:59:58"_s;
        QCOMPARE(c.checkOk().message, u"更新日時の範囲指定が正しくありません。"_s);
        c.timeMax = c.timeMin;
        QVERIFY(c.checkOk().message.isEmpty());

        // A box that would not have let the user out (Enter presses OK from inside it).
        c.sizeMax = u"abc"_s;
        QCOMPARE(c.checkOk().message, AddFolderConditions::fileSizeMessage);
        QCOMPARE(c.checkOk().field, Field::SizeMax);
        c.sizeMax = u"10"_s;
        c.timeMin = u"01/2/30"_s;
        QCOMPARE(c.checkOk().message, AddFolderConditions::fileTimeMessage);
        QCOMPARE(c.checkOk().field, Field::TimeMin);
    }

    void resultsSwitchOffGroupsThatAreOff()
    {
        AddFolderConditions c;
        c.folder = u"/pics"_s;
        c.subFolders = true;
        c.mask = u""_s;
        c.attributes = FileFilter::Hidden | FileFilter::System;
        c.sizeMin = u"10"_s;
        c.sizeMax = u"20"_s;
        FileFilter f = c.resultFilter();
        QCOMPARE(f.folder, u"/pics"_s);
        QVERIFY(f.subFolders);
        QCOMPARE(f.mask, u"*.*"_s);
        QCOMPARE(f.excludeAttributes, 0);
        QCOMPARE(f.sizeMin, 0);
        QCOMPARE(f.sizeMax, -1);
        QCOMPARE(f.timeMin, at(1899, 12, 30));
        QCOMPARE(f.timeMax, at(1899, 12, 29));
        QVERIFY(!f.sizeActive());
        QVERIFY(!f.timeActive());

        c.attributeEnabled = c.sizeEnabled = c.timeEnabled = true;
        c.sizeMin = u"10.6"_s;
        f = c.resultFilter();
        QCOMPARE(f.excludeAttributes, 6);
        QCOMPARE(f.sizeMin, 11);
        QCOMPARE(f.sizeMax, 20);
        QCOMPARE(f.timeMin, at(2000, 1, 1));
        QCOMPARE(f.timeMax, at(2001, 12, 31, 23, 59, 59));
        QVERIFY(f.sizeActive() && f.timeActive());
    }

    void confirmedConditionsAreRemembered()
    {
        SettingsStore store(m_dir.path());
        QCOMPARE(AddFolderConditions::initialMask(u""_s, store), u"*.*"_s);

        // The simple form stores the mask alone, an empty one as "*.*".
        AddFolderConditions c;
        c.attributeEnabled = c.sizeEnabled = c.timeEnabled = true;
        c.store(store, false);
        QCOMPARE(stored(store, SettingKeys::AddFolder::Mask), u"*.*"_s);
        QCOMPARE(stored(store, SettingKeys::AddFolder::Attribute), u"<none>"_s);

        c.mask = u"*.jpg;*.png"_s;
        c.attributes = 6;
        c.sizeMin = u"1.5"_s; // kept as typed
        c.timeMin = u"2001/1/1"_s;
        c.store(store, true);
        QCOMPARE(AddFolderConditions::initialMask(u""_s, store), u"*.jpg;*.png"_s);
        QCOMPARE(AddFolderConditions::initialMask(u"*.gif"_s, store), u"*.gif"_s);
        QCOMPARE(stored(store, SettingKeys::AddFolder::Attribute), u"6"_s);
        QCOMPARE(stored(store, SettingKeys::AddFolder::FileSizeMin), u"1.5"_s);
        QCOMPARE(stored(store, SettingKeys::AddFolder::FileTimeMin), u"2001/1/1"_s);

        // Groups that are off leave what was stored before.
        AddFolderConditions off;
        off.attributes = 1;
        off.sizeMin = u"99"_s;
        off.timeMin = u"02/2/2"_s;
        off.store(store, true);
        QCOMPARE(stored(store, SettingKeys::AddFolder::Attribute), u"6"_s);
        QCOMPARE(stored(store, SettingKeys::AddFolder::FileSizeMin), u"1.5"_s);
        QCOMPARE(stored(store, SettingKeys::AddFolder::FileTimeMin), u"2001/1/1"_s);

        AddFolderConditions loaded;
        // A hand-edited value that is no number ticks nothing.
        store.SaveSetting(SettingKeys::Section::AddFolder, SettingKeys::AddFolder::Attribute,
                          u"lots"_s);
        loaded.loadExtended(store);
        QCOMPARE(loaded.attributes, 0);
    }

    void fileDialogTypesAndMemory()
    {
        const QStringList filters = FileSelection::nameFilters(FileSelection::selectFilesFilter);
        QCOMPARE(filters.size(), 5);
        QCOMPARE(filters[0], u"すべてのファイル(*.*) (*)"_s);
        QCOMPARE(filters[1], u"テキストファイル(*.txt) (*.txt)"_s);
        QVERIFY(filters[2].endsWith(u") (*.bmp *.jpg *.jpeg *.ico *.cur *.rle *.wmf *.emf)"_s));
        QVERIFY(filters[4].startsWith(u"RealPlayerファイル(*.ra;"_s));

        // The dialog may name the chosen type by its description alone.
        QCOMPARE(FileSelection::filterNumber(filters, filters[3]), 4);
        QCOMPARE(FileSelection::filterNumber(filters, u"テキストファイル(*.txt)"_s), 2);
        QCOMPARE(FileSelection::filterNumber(filters, u"テキストファイル"_s), 0);

        SettingsStore store(m_dir.path());
        const QString key = SettingKeys::InitDir::List_Add;
        QCOMPARE(FileSelection::filterIndex(store, key, 5), 0);
        FileSelection::remember(store, key, { u"/pics/a/1.jpg"_s, u"/pics/a/2.jpg"_s }, 3);
        QCOMPARE(FileSelection::initialFolder(store, key), u"/pics/a/"_s);
        QCOMPARE(store.GetSetting(SettingKeys::Section::InitDir, u"List_Add_Filer"_s), u"3"_s);
        QCOMPARE(FileSelection::filterIndex(store, key, 5), 3);
        QCOMPARE(FileSelection::filterIndex(store, key, 2), 0);
        FileSelection::remember(store, key, { u"/b/x.jpg"_s }, 0);
        QCOMPARE(FileSelection::initialFolder(store, key), u"/b/"_s);
        QCOMPARE(FileSelection::filterIndex(store, key, 5), 3);
        store.SaveSetting(SettingKeys::Section::InitDir, u"List_Add_Filer"_s, u"two"_s);
        QCOMPARE(FileSelection::filterIndex(store, key, 5), 0);
    }
};

QTEST_GUILESS_MAIN(TestAddFolder)
#include "tst_addfolder.moc"
