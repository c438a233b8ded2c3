#pragma once

#include "engine/PluginBridgePort.h"

#include <QImage>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class MessageService;
class Options;
class PictureBuffer;
class PluginLoad;
class SettingsStore;
class SplayLibrary;

// The bridge to the picture plug-ins: finds plug-ins, tells whether a file is one and of which
// kind, lists the extensions it claims, shows its about and settings dialogs, picks the plug-in
// of the list `lstSusie` (the options' plug-in list, in the order they are tried) that accepts a
// file, and decodes the file into the image surface's holding buffer. A plug-in call never holds
// the event loop: the display step's load goes on without waiting (beginLoadPicture), and what
// the windows ask (a plug-in's texts and dialogs) waits with the event loop running and the
// user's input held back, as a modal dialog would.
class cSusie : public PluginBridgePort
{
public:
    cSusie(Options &options, PictureBuffer *picBack, MessageService &messages,
           const SettingsStore &store);
    ~cSusie() override;
    cSusie(const cSusie &) = delete;
    cSusie &operator=(const cSusie &) = delete;

    // Receives the progress texts of ProgressCallback (the viewer's caption).
    void setCaptionSink(std::function<void(const QString &)> sink) { m_caption = std::move(sink); }
    void setPicBack(PictureBuffer *picBack) { m_picBack = picBack; }

    int ProgressCallback(int num, int denom, intptr_t data);
    static QString progressText(int num, int denom);
    int32_t GetSplayVersion() const;
    // The folder named by "Susie"/"Path" in the settings; when that is unset, the folder where
    // Lunetta's own plug-ins are installed.
    QString GetSusiePluginFolder() const;
    // Every folder the automatic search looks in: the plug-in folder above, the folder named by
    // "Susie"/"WindowsPath" (a user's old Windows plug-ins), and the plug-in folder an installed
    // Susie recorded in the Wine prefix's registry. Each once, in that order.
    QStringList pluginSearchFolders() const;
    // Appends every "*.spi" and "*.sph" of the folder that loads as a plug-in; the index of the
    // last path appended, -1 when none.
    int32_t GetPluginFileName(const QString &folder, QStringList &paths);
    bool IsPlugin(const QString &path);
    // "00IN" for a picture input plug-in; empty when it does not load or tells nothing.
    QString GetPluginAPIVersion(const QString &path);
    // The number of (extension pattern, file type) pairs the plug-in states.
    int32_t GetPluginCorrespondExtension(const QString &path, QStringList &extensions,
                                         QStringList &fileTypes);
    // Shows the plug-in's about text in a message box and returns it; empty when it has none.
    QString ShowAbout(const QString &path);
    // -2 for an empty path or a plug-in that does not load, else the plug-in's answer (0 when
    // it showed a dialog). A Windows plug-in's host that does not answer in time is ended, and
    // the user told so (noAnswer).
    int32_t ShowConfigurationDlg(const QString &path, int32_t fnc, uintptr_t parent);
    static constexpr int32_t noAnswer = -3;
    static QString noAnswerMessage(const QString &path);
    // The first plug-in of the list that accepts the file; empty when none does or the file
    // cannot be read.
    QString GetSupportPlugin(const QString &file);
    // PluginBridgePort: decodes the file into the holding buffer; false, without a message,
    // when no plug-in accepts it or the decode fails (the buffer is then left as it was).
    bool LoadPicture(const QString &file) override;
    // PluginBridgePort: the same, with the plug-ins' calls made on workers. Answers at once when
    // they answer within `quickAnswerMs`, so that a quick plug-in's picture shows in the same
    // turn of the event loop as the step that asked for it (no blank frame between two files):
    // a 1080p picture through a Windows plug-in's host takes 17-34 ms here. The event loop still
    // runs well within the tenth of a second in which a user sees a window stall.
    std::optional<bool> beginLoadPicture(const QString &file,
                                         std::function<void(bool)> done) override;
    void cancelLoadPicture() override;
    static constexpr int quickAnswerMs = 40;

    // Where Lunetta's own plug-ins are: beside the program in a build tree, else where they
    // are installed.
    static QString installedPluginFolder();

    SplayLibrary &library() { return *m_library; }

private:
    QStringList lstSusie() const;
    bool adopt(QImage picture, int32_t decodedBy, const QString &file);
    void tellNoAnswer(const QString &path);

    Options &m_options;
    PictureBuffer *m_picBack;
    MessageService &m_messages;
    const SettingsStore &m_store;
    std::unique_ptr<SplayLibrary> m_library;
    std::function<void(const QString &)> m_caption;
    std::unique_ptr<PluginLoad> m_load;
};
