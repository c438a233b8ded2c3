#include "imagelist/FileSelection.h"

#include "core/FileDialogService.h"
#include "core/PathFunctions.h"
#include "core/SettingKeys.h"
#include "core/SettingsStore.h"

#include <QRegularExpression>

const QString FileSelection::selectFilesFilter
    = QStringLiteral("すべてのファイル(*.*)|*.*|テキストファイル(*.txt)|*.txt|"
                     "画像ファイル(*.bmp;*.jpg;*.jpeg;*.ico;*.cur;*.rle;*.wmf;*.emf)|"
                     "*.bmp;*.jpg;*.jpeg;*.ico;*.cur;*.rle;*.wmf;*.emf|"
                     "Windows Videoファイル形式(*.avi;*.ivf;*.m1v;*.mp2v;*.mpa;*.mpe;*.mpeg;*.mpg)|"
                     "*.avi;*.ivf;*.m1v;*.mp2v;*.mpa;*.mpe;*.mpeg;*.mpg|"
                     "RealPlayerファイル(*.ra;*.rm;*.ram;*.rmj;*.rmm;*.rmx;*.rp*)|"
                     "*.ra;*.rm;*.ram;*.rmj;*.rmm;*.rmx;*.rp*");

QStringList FileSelection::nameFilters(const QString &filterText)
{
    const QStringList parts = filterText.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(u';', Qt::SkipEmptyParts);
        for (QString &p : patterns) {
            if (p == u"*.*")
                p = QStringLiteral("*");
        }
        filters << parts[i] + QStringLiteral(" (") + patterns.join(u' ') + u')';
    }
    return filters;
}

QString FileSelection::initialFolder(const SettingsStore &store, const QString &key)
{
    return store.GetSetting(SettingKeys::Section::InitDir, key);
}

int FileSelection::filterIndex(const SettingsStore &store, const QString &key, int count)
{
    bool ok = false;
    const int index
        = store.GetSetting(SettingKeys::Section::InitDir, key + SettingKeys::InitDir::filterSuffix)
              .trimmed()
              .toInt(&ok);
    return ok && index >= 1 && index <= count ? index : 0;
}

int FileSelection::filterNumber(const QStringList &filters, const QString &selected)
{
    for (qsizetype i = 0; i < filters.size(); ++i) {
        const QString &f = filters[i];
        if (f == selected || f.left(f.lastIndexOf(QStringLiteral(" ("))) == selected)
            return int(i) + 1;
    }
    return 0;
}

QString FileSelection::withTypeExtension(const QString &path, const QString &nameFilter)
{
    static const QRegularExpression firstPattern(QStringLiteral("\\*\\.([^ ;*?()]+)"));
    const QString name = path.mid(path.lastIndexOf(u'/') + 1);
    const QRegularExpressionMatch m = firstPattern.match(nameFilter);
    if (name.isEmpty() || name.contains(u'.') || !m.hasMatch())
        return path;
    return path + u'.' + m.captured(1);
}

void FileSelection::remember(SettingsStore &store, const QString &key, const QStringList &files,
                             int filterIndex)
{
    if (files.isEmpty())
        return;
    SettingsStore::Batch batch(store);
    store.SaveSetting(SettingKeys::Section::InitDir, key, GetFolderPart(files.first()));
    if (filterIndex > 0)
        store.SaveSetting(SettingKeys::Section::InitDir, key + SettingKeys::InitDir::filterSuffix,
                          QString::number(filterIndex));
}

QStringList FileSelection::selectFiles(FileDialogService &dialogs, QWidget *owner,
                                       SettingsStore &store, const QString &initialName,
                                       const QString &key)
{
    const QStringList filters = nameFilters(selectFilesFilter);
    QString folder = GetFolderPart(initialName);
    if (folder.isEmpty() || !IsFolder(folder))
        folder = initialFolder(store, key);
    const int index = filterIndex(store, key, int(filters.size()));
    const FileDialogAnswer answer = dialogs.ask({
        .kind = FileDialogKind::OpenFiles,
        .owner = owner,
        .caption = QStringLiteral("ファイルの選択"),
        .folder = folder,
        .nameFilters = filters,
        .selectedFilter = index ? filters[index - 1] : QString(),
        .selectedFile = initialName,
        .hideFilterDetails = true,
        .objectName = QStringLiteral("SelectFiles"),
    });
    remember(store, key, answer.paths, filterNumber(filters, answer.selectedFilter));
    return answer.paths;
}
