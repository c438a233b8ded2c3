#include "imagelist/AddFolderConditions.h"

#include "core/SettingKeys.h"
#include "core/SettingsStore.h"
#include "imagelist/DateText.h"

#include <cmath>

namespace {

constexpr qint32 attributeBits
    = FileFilter::ReadOnly | FileFilter::Hidden | FileFilter::System | FileFilter::Archive;

} // namespace

const QString AddFolderConditions::defaultMask = QStringLiteral("*.*");
const QString AddFolderConditions::defaultSizeMin = QStringLiteral("0");
const QString AddFolderConditions::defaultSizeMax = QStringLiteral("1000000");
const QString AddFolderConditions::defaultTimeMin = QStringLiteral("00/1/1 0:00:00");
const QString AddFolderConditions::defaultTimeMax = QStringLiteral("01/12/31 23:59:59");
const QString AddFolderConditions::fileSizeMessage = QStringLiteral(
    "ファイルサイズの指定が正しくありません。\r\n0～2147483647の整数で指定して下さい。");
const QString AddFolderConditions::fileTimeMessage = QStringLiteral(
    "更新日時の指定が正しくありません。\r\n'01/4/13 8:45:00'のように指定して下さい。");
const QString AddFolderConditions::fileSizeRangeMessage
    = QStringLiteral("ファイルサイズの範囲指定が正しくありません。");
const QString AddFolderConditions::fileTimeRangeMessage
    = QStringLiteral("更新日時の範囲指定が正しくありません。");

std::optional<qint32> AddFolderConditions::readFileSize(const QString &text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value) || value < 0 || value > 2147483647.0)
        return std::nullopt;
    // Halves go to the even neighbour, as the integer conversion of the number fields does.
    return qint32(std::nearbyint(value));
}

std::optional<QDateTime> AddFolderConditions::readFileTime(const QString &text)
{
    return DateText::parse(text);
}

QString AddFolderConditions::checkFileSizeText(const QString &text)
{
    return readFileSize(text) ? QString() : fileSizeMessage;
}

QString AddFolderConditions::checkFileTimeText(const QString &text)
{
    return readFileTime(text) ? QString() : fileTimeMessage;
}

AddFolderConditions::Problem AddFolderConditions::checkOk() const
{
    // The boxes are checked again here: Enter presses OK without leaving the box.
    if (sizeEnabled) {
        const auto min = readFileSize(sizeMin);
        if (!min)
            return { fileSizeMessage, Field::SizeMin };
        const auto max = readFileSize(sizeMax);
        if (!max)
            return { fileSizeMessage, Field::SizeMax };
        if (*min > *max)
            return { fileSizeRangeMessage, Field::None };
    }
    if (timeEnabled) {
        const auto min = readFileTime(timeMin);
        if (!min)
            return { fileTimeMessage, Field::TimeMin };
        const auto max = readFileTime(timeMax);
        if (!max)
            return { fileTimeMessage, Field::TimeMax };
        if (*max < *min)
            return { fileTimeRangeMessage, Field::None };
    }
    return {};
}

QString AddFolderConditions::initialMask(const QString &incoming, const SettingsStore &store)
{
    if (!incoming.isEmpty())
        return incoming;
    return store.GetSetting(SettingKeys::Section::AddFolder, SettingKeys::AddFolder::Mask,
                            defaultMask);
}

void AddFolderConditions::loadExtended(const SettingsStore &settings)
{
    using namespace SettingKeys;
    attributes = settings.GetSetting(Section::AddFolder, AddFolder::Attribute, QStringLiteral("0"))
                     .trimmed()
                     .toInt()
        & attributeBits;
    sizeMin = settings.GetSetting(Section::AddFolder, AddFolder::FileSizeMin, defaultSizeMin);
    sizeMax = settings.GetSetting(Section::AddFolder, AddFolder::FileSizeMax, defaultSizeMax);
    timeMin = settings.GetSetting(Section::AddFolder, AddFolder::FileTimeMin, defaultTimeMin);
    timeMax = settings.GetSetting(Section::AddFolder, AddFolder::FileTimeMax, defaultTimeMax);
}

void AddFolderConditions::store(SettingsStore &settings, bool extended) const
{
    using namespace SettingKeys;
    SettingsStore::Batch batch(settings);
    settings.SaveSetting(Section::AddFolder, AddFolder::Mask, resultMask());
    if (!extended)
        return;
    if (attributeEnabled)
        settings.SaveSetting(Section::AddFolder, AddFolder::Attribute,
                             QString::number(attributes & attributeBits));
    if (sizeEnabled) {
        settings.SaveSetting(Section::AddFolder, AddFolder::FileSizeMin, sizeMin);
        settings.SaveSetting(Section::AddFolder, AddFolder::FileSizeMax, sizeMax);
    }
    if (timeEnabled) {
        settings.SaveSetting(Section::AddFolder, AddFolder::FileTimeMin, timeMin);
        settings.SaveSetting(Section::AddFolder, AddFolder::FileTimeMax, timeMax);
    }
}

QString AddFolderConditions::resultMask() const
{
    return mask.isEmpty() ? defaultMask : mask;
}

FileFilter AddFolderConditions::resultFilter() const
{
    FileFilter filter;
    filter.folder = folder;
    filter.mask = resultMask();
    filter.subFolders = subFolders;
    filter.excludeAttributes = attributeEnabled ? attributes & attributeBits : 0;
    if (sizeEnabled) {
        filter.sizeMin = readFileSize(sizeMin).value_or(0);
        filter.sizeMax = readFileSize(sizeMax).value_or(-1);
    }
    if (timeEnabled) {
        const auto min = readFileTime(timeMin);
        const auto max = readFileTime(timeMax);
        if (min && max) {
            filter.timeMin = *min;
            filter.timeMax = *max;
        }
    }
    return filter;
}
