#pragma once

#include "engine/ViewerPort.h"
#include "viewer/picture/DeferredDecode.h"
#include "viewer/picture/PictureBuffer.h"
#include "viewer/window/ViewerLayout.h"

#include <QMargins>
#include <QWidget>

#include <functional>
#include <memory>

class ContentSurface;
class ViewerInput;
class Options;
class PictureView;
class QAction;
class QLabel;
class QMenu;
class QScrollBar;
class QStatusBar;
class QTimer;
class SettingsStore;
class Slideshow;
class cImage;
class mpView;
class raView;

// The viewer window: the display area with the picture surface, two scroll bars and a status
// bar. It sizes itself to every file within the work area and the size options, keeps its
// outer geometry in twips in the settings, and lays the content out again when resized. It
// exists for the whole run and is only shown and hidden; closing it stops the show.
class frmView : public QWidget, public ViewerPort
{
    Q_OBJECT
public:
    frmView(Options &options, Slideshow &slideshow, QWidget *parent = nullptr);
    ~frmView() override;

    // The outer rectangle from section "Viewer" (twips) and back; saving happens only in the
    // normal window state.
    void loadWindowRect(const SettingsStore &store) { m_layout->loadWindowRect(store); }
    void saveWindowRect(SettingsStore &store) const { m_layout->saveWindowRect(store); }

    // Twips per pixel, display area, frame overhead and work area, read afresh.
    void measureViewer() override;
    const ViewerGeometry::ViewerMetrics &metrics() const { return m_layout->metrics(); }
    // The window's sizing and placement, and what it does with the mouse and the keys.
    ViewerLayout &layout() { return *m_layout; }
    ViewerInput &input() { return *m_input; }

    void showViewerTitleBar(bool show);
    void showViewerStatusBar(bool show);

    QString statusPanelText(const QString &key) const;

    // The mouse over the display area, in its coordinates (see ViewerInput); the players hand
    // theirs on here.
    void viewerMouseDown(int button, int shift, int x, int y);
    void viewerMouseMove(int button, int shift, int x, int y);
    void viewerMouseUp(int button, int shift, int x, int y);
    void viewerDragOver(int state);
    void setPopupMenu(QMenu *menu, QAction *defaultAction, std::function<bool()> closing);
    void showPopupMenu(const QPoint &globalPos);
    void setPopupRunner(std::function<void(QMenu *, const QPoint &)> runner);
    void setWindowMoveStarter(std::function<void()> starter);
    bool isDragArmed() const;
    // Whether a dialog is open that the show waits for.
    static bool isDialogOfTheShowOpen();

    // ViewerPort
    void moveContentToOrigin() override;
    void hideScrollBars() override;
    void startTickTimer() override;
    void stopTickTimer() override;
    void startCursorWatch() override;
    void stopCursorWatch() override;
    void clearPicture() override;
    bool LoadPic(const QString &path) override;
    void decodeAhead(const QString &path) override;
    void dropDecodeAhead() override;
    // While held, no decode ahead starts; released, the last one asked for starts.
    void holdDecodeAhead(bool hold) { m_ahead->setHeld(hold); }
    void adoptDecodedPicture() override;
    QSize pictureSize() const override;
    void sizeViewerForFile() override;
    void setViewerCaption(const QString &caption) override;
    void setStatusTexts(const QString &fileName, const QString &page) override;
    void showPicture() override;
    bool pictureMoves() const override;
    bool animationPlayedThrough() const override;
    void playAnimation(bool play) override;
    void showViewerWindow() override;
    void hideViewerWindow() override;

    PictureView *picView;
    PictureBuffer picBack;
    QScrollBar *hsbView;
    QScrollBar *vsbView;
    QStatusBar *stbView;
    QTimer *tmrView;
    QTimer *tmrCursorPos;
    std::unique_ptr<cImage> g_clsImage;
    // The movie player and the RealMedia player, surfaces inside the display area.
    ::mpView *mpView;
    ::raView *raView;

signals:
    // Files or folders dropped on the window from a file manager, after the drop is over.
    void filesDropped(const QStringList &paths);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    ViewerParts parts();
    ContentSurface *content() const;
    void applyBackColor();
    void onOptionChanged(int id);
    void tmrCursorPos_Timer();
    void connectPlayers();
    void checkFrameMargins();
    void refitCurrentFile();

    Options &m_options;
    Slideshow &m_slideshow;
    QLabel *m_fileNamePanel;
    QLabel *m_pagePanel;
    DeferredDecode *m_ahead;
    std::unique_ptr<ViewerLayout> m_layout;
    ViewerInput *m_input;
    // Some window managers report the frame a moment after mapping the window: it is checked
    // once more then ("tmrFrameCheck").
    QTimer *m_frameCheck;
    bool m_titleBarShown = true;
    bool m_statusBarShown = true;
    bool m_wasMinimized = false;
};
