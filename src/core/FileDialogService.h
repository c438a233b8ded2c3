#pragma once

#include <QStringList>

class QWidget;

enum class FileDialogKind { OpenFile, OpenFiles, SaveFile, Folder };

// Every member has an initializer, so that a request names only what it sets.
struct FileDialogRequest
{
    FileDialogKind kind = FileDialogKind::OpenFile;
    // The window the dialog opens over; none for a window of its own.
    QWidget *owner = nullptr;
    QString caption {};
    // Where the dialog starts.
    QString folder {};
    // File types as "description (patterns)"; none shows every file.
    QStringList nameFilters {};
    // The file type shown first; empty for the first of nameFilters.
    QString selectedFilter {};
    // The name proposed in the name field.
    QString selectedFile {};
    // Added to a name saved without an extension.
    QString defaultSuffix {};
    // Shows each file type by its description alone, for descriptions that list their
    // patterns already.
    bool hideFilterDetails = false;
    QString objectName {};
};

struct FileDialogAnswer
{
    // Full paths; none when the user cancelled.
    QStringList paths;
    // The file type chosen in the dialog.
    QString selectedFilter;

    QString first() const { return paths.value(0); }
};

// Every file and folder dialog of the program goes through this service, so that tests can
// see what each dialog was asked to show and answer it.
class FileDialogService
{
public:
    virtual ~FileDialogService() = default;
    virtual FileDialogAnswer ask(const FileDialogRequest &request) = 0;
};
