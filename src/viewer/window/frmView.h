#pragma once

#include "engine/ViewerPort.h"
#include "viewer/picture/PictureBuffer.h"
#include "viewer/window/ViewerGeometry.h"

#include <QMargins>
#include <QWidget>

#include <functional>
#include <memory>

class ContentSurface;
class DeferredDecode;
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
    void loadWindowRect(const SettingsStore &store);
    void saveWindowRect(SettingsStore &store) const;

    // Twips per pixel, display area, frame overhead and work area, read afresh.
    void measureViewer() override;
    const ViewerGeometry::ViewerMetrics &metrics() const { return m_metrics; }

    // The layout steps for the content on screen; none of them acts while nothing is shown.
    // Outer size (pixels) for the content within the limits; stretches the content when needed.
    QSize fitWindowToContent(int maxWidth, int maxHeight);
    void applyFixedPosition();
    void layoutScrollBars();
    void fitContentToArea(int areaWidth, int areaHeight);
    void centreContent();
    void placeContent();

    void showViewerTitleBar(bool show);
    void showViewerStatusBar(bool show);
    bool isCursorOverViewer() const;

    QString statusPanelText(const QString &key) const;

    // The mouse over the display area, in its coordinates (buttons 1 left, 2 right, 4 middle;
    // shift 1, ctrl 2, alt 4). The players hand theirs on here.
    void viewerMouseDown(int button, int shift, int x, int y);
    void viewerMouseMove(int button, int shift, int x, int y);
    void viewerMouseUp(int button, int shift, int x, int y);
    // A drag from another program over the display area: 0 entering, 1 leaving, 2 moving.
    void viewerDragOver(int state);

    // The right button's menu and its default item; `closing` tells when the program has begun
    // to end, after which the interval clock is left alone.
    void setPopupMenu(QMenu *menu, QAction *defaultAction, std::function<bool()> closing);
    // Opens the pop-up menu at `globalPos` (from the event loop, not inside the event that
    // asked for it) with the interval clock suspended while it is open.
    void showPopupMenu(const QPoint &globalPos);
    // Seams: how the menu is run (QMenu::exec) and how a window move starts
    // (QWindow::startSystemMove).
    void setPopupRunner(std::function<void(QMenu *, const QPoint &)> runner);
    void setWindowMoveStarter(std::function<void()> starter);
    bool isDragArmed() const { return dragArmed; }

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
    void adoptDecodedPicture() override;
    QSize pictureSize() const override;
    void sizeViewerForFile() override;
    void setViewerCaption(const QString &caption) override;
    void setStatusTexts(const QString &fileName, const QString &page) override;
    void showPicture() override;
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
    ContentSurface *content() const;
    void handleResize();
    void placeStatusBar();
    void applyBackColor();
    void onOptionChanged(int id);
    void tmrCursorPos_Timer();
    void connectPlayers();
    void checkFrameMargins();
    void refitCurrentFile();
    QSize visiblePart() const;
    QSize largestStretchedSize() const;
    int statusBarHeight() const;
    int shownStatusBarHeight() const;
    int hBarHeight() const;
    int vBarWidth() const;
    QMargins currentFrameMargins() const;
    void setOuterSize(int width, int height);
    QRect outerTwips() const;

    Options &m_options;
    Slideshow &m_slideshow;
    ViewerGeometry::ViewerMetrics m_metrics;
    QLabel *m_fileNamePanel;
    QLabel *m_pagePanel;
    DeferredDecode *m_ahead;
    bool m_titleBarShown = true;
    bool m_statusBarShown = true;
    bool m_wasMinimized = false;
    // Until the window manager has framed the window, its frame is unknown and measures as
    // nothing; the first real frame is measured again.
    bool m_frameUnknown = true;
    QMargins m_measuredMargins;

    // A left press on an untitled window may become a window move, once 0.1 s have passed.
    bool dragArmed = false;
    double dragArmedAt = 0;
    QMenu *m_popup = nullptr;
    QAction *m_popupDefault = nullptr;
    std::function<bool()> m_closing;
    std::function<void(QMenu *, const QPoint &)> m_popupRunner;
    std::function<void()> m_moveStarter;
};
