#pragma once

#include "imagelist/FileFilter.h"

#include <QString>

#include <optional>

class SettingsStore;

// What the folder entry dialog holds and decides: the checks made when the user leaves a size
// or date box and when he presses OK, the values a confirmed dialog returns, and the
// conditions remembered in the "AddFolder" settings.
struct AddFolderConditions
{
    enum class Field { None, SizeMin, SizeMax, TimeMin, TimeMax };
    struct Problem
    {
        QString message;
        Field field = Field::None; // the box that gets the focus back
    };

    static const QString defaultMask; // "*.*"
    static const QString defaultSizeMin;
    static const QString defaultSizeMax;
    static const QString defaultTimeMin;
    static const QString defaultTimeMax;
    static const QString fileSizeMessage;
    static const QString fileTimeMessage;
    static const QString fileSizeRangeMessage;
    static const QString fileTimeRangeMessage;

    QString folder;
    bool subFolders = false;
    QString mask;
    // The three enabling boxes are never stored: every dialog starts with them off.
    bool attributeEnabled = false;
    qint32 attributes = 0; // ticks of the four attribute boxes, FileFilter::Attribute bits
    bool sizeEnabled = false;
    QString sizeMin = defaultSizeMin;
    QString sizeMax = defaultSizeMax;
    bool timeEnabled = false;
    QString timeMin = defaultTimeMin;
    QString timeMax = defaultTimeMax;

    // A number from 0 to 2147483647; a fraction is rounded to the nearest integer.
    static std::optional<qint32> readFileSize(const QString &text);
    static std::optional<QDateTime> readFileTime(const QString &text);
    // The message for a box the user leaves, or "" when its text is fine.
    static QString checkFileSizeText(const QString &text);
    static QString checkFileTimeText(const QString &text);

    // The OK checks, in order: each enabled box, then the size range, then the date range.
    // Nothing to report gives an empty message.
    Problem checkOk() const;

    // The mask shown when the dialog opens: the caller's, else the one stored last.
    static QString initialMask(const QString &incoming, const SettingsStore &store);
    // The extended conditions stored last: bounds texts and attribute ticks.
    void loadExtended(const SettingsStore &settings);
    // Remembers a confirmed dialog: the mask always, the extended conditions only for the
    // extended form and only the groups that are switched on.
    void store(SettingsStore &settings, bool extended) const;

    // What a confirmed dialog returns; a group that is off gives its reversed range (or no
    // attributes), which switches its condition off.
    QString resultMask() const;
    FileFilter resultFilter() const;
};
