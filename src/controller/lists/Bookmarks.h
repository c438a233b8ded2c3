#pragma once

#include <QString>

class FileDialogService;
class MessageService;
class Options;
class QWidget;
class SettingsStore;
class Slideshow;

// What the bookmark commands need of the controller window.
class BookmarkHost
{
public:
    virtual ~BookmarkHost() = default;
    virtual void setControllerCaption(const QString &caption) = 0;
    virtual void minimiseController() = 0;
    // The profile box: its text, and selecting a profile by name (the first when missing).
    virtual QString currentProfileName() const = 0;
    virtual void selectProfile(const QString &name) = 0;
    // The window the bookmark file dialogs open over.
    virtual QWidget *dialogOwner() = 0;
};

// Bookmark files: saving the running list and its position, the offer to save before the list
// is replaced or the program ends, and resuming from a bookmark.
class Bookmarks
{
public:
    Bookmarks(Slideshow &slideshow, Options &options, SettingsStore &store,
              MessageService &messages, FileDialogService &fileDialogs, BookmarkHost &host);

    // 0 on success, 1 on failure (after the file-error message).
    int WriteShiori(const QString &path);
    // The same for the page the user saw when asking for the bookmark.
    int WriteShiori(const QString &path, int page);
    void SaveShioriAs();
    // The save command: asks for a name only when no bookmark is open.
    void mnuFile_SaveShiori_Click();
    void ConfirmSaveShiori(bool atExit);
    void OpenShiori();
    // True when the file was a bookmark and the show was started from it.
    bool ReadShiori(const QString &path);

    QString bookmarkPath() const { return m_bookmarkPath; }
    int bookmarkIndex() const { return m_bookmarkIndex; }
    // A start from the configured list forgets the bookmark.
    void clearBookmarkPath() { m_bookmarkPath.clear(); }

    static const QString noDataMessage; // "データがないため、しおりを作れません。"
    static QString captionFor(const QString &bookmarkPath);

private:
    // The bookmark file chosen in the save or open dialog; empty when cancelled.
    QString askFileName(bool save, const QString &folder);

    Slideshow &m_slideshow;
    Options &m_options;
    SettingsStore &m_store;
    MessageService &m_messages;
    FileDialogService &m_fileDialogs;
    BookmarkHost &m_host;
    QString m_bookmarkPath;
    int m_bookmarkIndex = 0;
};
