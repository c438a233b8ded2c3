#include "controller/lists/Bookmarks.h"

#include "core/FileDialogService.h"
#include "core/FileError.h"
#include "core/MessageService.h"
#include "core/Options.h"
#include "core/PathFunctions.h"
#include "core/SettingKeys.h"
#include "core/SettingsStore.h"
#include "engine/Slideshow.h"
#include "imagelist/BookmarkFile.h"
#include "imagelist/FileSelection.h"

const QString Bookmarks::noDataMessage = QStringLiteral("データがないため、しおりを作れません。");

Bookmarks::Bookmarks(Slideshow &slideshow, Options &options, SettingsStore &store,
                     MessageService &messages, FileDialogService &fileDialogs, BookmarkHost &host)
    : m_slideshow(slideshow)
    , m_options(options)
    , m_store(store)
    , m_messages(messages)
    , m_fileDialogs(fileDialogs)
    , m_host(host)
{ }

QString Bookmarks::askFileName(bool save, const QString &folder)
{
    const FileDialogAnswer answer = m_fileDialogs.ask({
        .kind = save ? FileDialogKind::SaveFile : FileDialogKind::OpenFile,
        .owner = m_host.dialogOwner(),
        .caption = save ? QStringLiteral("しおりの保存") : QStringLiteral("しおりを開く"),
        .folder = folder,
        .nameFilters = { QStringLiteral("しおりファイル(*.kvs)"), QStringLiteral("All Files(*)") },
        .defaultSuffix = save ? QStringLiteral("kvs") : QString(),
    });
    if (answer.paths.isEmpty() || !save)
        return answer.first();
    return FileSelection::withTypeExtension(answer.first(), answer.selectedFilter);
}

QString Bookmarks::captionFor(const QString &bookmarkPath)
{
    return GetFileName(bookmarkPath) + QStringLiteral(" - Lunetta");
}

int Bookmarks::WriteShiori(const QString &path)
{
    return WriteShiori(path, m_slideshow.currentIndex);
}

int Bookmarks::WriteShiori(const QString &path, int page)
{
    QStringList paths;
    paths.reserve(m_slideshow.playList.count());
    for (const cFileInfo &item : m_slideshow.playList.items())
        paths.append(item.m_strPath);
    const auto error = BookmarkFile::write(path, page, m_host.currentProfileName(), paths);
    if (error) {
        m_messages.show(FileError { error->number, error->description }.message());
        return 1;
    }
    m_bookmarkIndex = page;
    m_host.setControllerCaption(captionFor(path));
    return 0;
}

void Bookmarks::SaveShioriAs()
{
    if (m_slideshow.playList.isEmpty()) {
        m_messages.error(noDataMessage);
        return;
    }
    // The page the user saw when asking, whatever the show did while the dialog was open.
    const int page = m_slideshow.currentIndex;
    const QString chosen = askFileName(
        true, m_store.GetSetting(SettingKeys::Section::InitDir, SettingKeys::InitDir::Shiori_Save));
    if (chosen.isEmpty())
        return;
    if (WriteShiori(chosen, page) == 0) {
        m_bookmarkPath = chosen;
        m_store.SaveSetting(SettingKeys::Section::InitDir, SettingKeys::InitDir::Shiori_Save,
                            GetFolderPart(chosen));
    }
}

void Bookmarks::mnuFile_SaveShiori_Click()
{
    if (m_slideshow.playList.isEmpty())
        m_messages.error(noDataMessage);
    else if (m_bookmarkPath.isEmpty())
        SaveShioriAs();
    else
        WriteShiori(m_bookmarkPath);
}

void Bookmarks::ConfirmSaveShiori(bool atExit)
{
    if (m_bookmarkPath.isEmpty() || m_slideshow.currentIndex == m_bookmarkIndex
        || m_slideshow.playList.isEmpty())
        return;
    if (atExit && m_options.isChecked(Opt::chkNotConfirmSaveShiori)) {
        if (m_options.option(Opt::optOverWrite))
            WriteShiori(m_bookmarkPath);
        return;
    }
    const int page = m_slideshow.currentIndex;
    if (m_messages.show({ QStringLiteral("しおりを上書き保存しますか？"), MsgIcon::Question,
                          MsgButtons::YesNo, MsgResult::No })
        == MsgResult::Yes)
        WriteShiori(m_bookmarkPath, page);
}

void Bookmarks::OpenShiori()
{
    if (m_slideshow.isRunning()
        && !m_messages.confirm(QStringLiteral("現在の自動表示を中止してもよろしいですか？")))
        return;
    m_slideshow.stopSlideshow();
    ConfirmSaveShiori(false);
    const QString chosen = askFileName(
        false,
        m_store.GetSetting(SettingKeys::Section::InitDir, SettingKeys::InitDir::Shiori_Open));
    if (chosen.isEmpty())
        return;
    ReadShiori(chosen);
    m_store.SaveSetting(SettingKeys::Section::InitDir, SettingKeys::InitDir::Shiori_Open,
                        GetFolderPart(chosen));
}

bool Bookmarks::ReadShiori(const QString &path)
{
    const auto contents = BookmarkFile::read(path);
    if (!contents)
        return false;
    m_slideshow.setStartIndex(contents->page);
    m_host.selectProfile(contents->settingName.value_or(SettingKeys::defaultProfile));
    m_slideshow.playList.clear();
    m_slideshow.playList.reserve(int(contents->paths.size()));
    for (const QString &p : contents->paths)
        m_slideshow.playList.appendToPlayList(p);
    m_bookmarkPath = path;
    m_bookmarkIndex = m_slideshow.nextIndex;
    m_host.setControllerCaption(captionFor(path));
    if (m_options.isChecked(Opt::chkMinWhenStart))
        m_host.minimiseController();
    m_slideshow.startSlideshow();
    return true;
}
