#include "viewer/window/frmView.h"

#include "core/Clock.h"
#include "core/ColorHex.h"
#include "core/Options.h"
#include "core/SettingKeys.h"
#include "core/SettingsStore.h"
#include "engine/Slideshow.h"
#include "viewer/picture/DeferredDecode.h"
#include "core/FileDropFilter.h"
#include "viewer/picture/PictureView.h"
#include "viewer/picture/WindowMemory.h"
#include "viewer/picture/cImage.h"
#include "viewer/movie/mpView.h"
#include "viewer/movie/raView.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QCursor>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QWindow>

#include <algorithm>

using namespace ViewerGeometry;

namespace {

constexpr int tickMilliseconds = 50;
// Where a surface waits while it is not in use: far outside the display area.
constexpr int parkedLeft = -10000;

int optionInteger(const Options &options, Opt id)
{
    return roundHalfEven(options.number(id));
}

} // namespace

frmView::frmView(Options &options, Slideshow &slideshow, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , picView(new PictureView(this))
    , hsbView(new QScrollBar(Qt::Horizontal, this))
    , vsbView(new QScrollBar(Qt::Vertical, this))
    , stbView(new QStatusBar(this))
    , tmrView(new QTimer(this))
    , tmrCursorPos(new QTimer(this))
    , g_clsImage(std::make_unique<cImage>(picView, &picBack))
    , mpView(new ::mpView(picView))
    , raView(new ::raView(picView))
    , m_options(options)
    , m_slideshow(slideshow)
    , m_fileNamePanel(new QLabel(stbView))
    , m_pagePanel(new QLabel(stbView))
    , m_ahead(new DeferredDecode(
          picView,
          [this](const QString &path) {
              g_clsImage->decodeAhead(path, largestStretchedSize(), visiblePart());
          },
          this))
{
    setObjectName(QStringLiteral("frmView"));
    picView->setObjectName(QStringLiteral("picView"));
    hsbView->setObjectName(QStringLiteral("hsbView"));
    vsbView->setObjectName(QStringLiteral("vsbView"));
    stbView->setObjectName(QStringLiteral("stbView"));
    tmrView->setObjectName(QStringLiteral("tmrView"));
    tmrCursorPos->setObjectName(QStringLiteral("tmrCursorPos"));

    picView->move(0, 0);
    // The players wait out of sight until a clip is shown.
    for (VideoSurface *player :
         { static_cast<VideoSurface *>(mpView), static_cast<VideoSurface *>(raView) }) {
        player->hide();
        player->move(parkedLeft, 0);
    }
    raView->addGuardedWindow(this);
    connectPlayers();
    hsbView->hide();
    vsbView->hide();
    // The path may be far longer than the panel; it is cut, not allowed to widen the bar.
    m_fileNamePanel->setObjectName(QStringLiteral("FileName"));
    m_fileNamePanel->setMinimumWidth(1);
    m_fileNamePanel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_pagePanel->setObjectName(QStringLiteral("Page"));
    stbView->addWidget(m_fileNamePanel, 1);
    stbView->addPermanentWidget(m_pagePanel);
    stbView->setSizeGripEnabled(false);

    tmrView->setInterval(tickMilliseconds);
    tmrCursorPos->setInterval(tickMilliseconds);
    connect(tmrCursorPos, &QTimer::timeout, this, &frmView::tmrCursorPos_Timer);
    connect(tmrView, &QTimer::timeout, this, [this] { m_slideshow.viewerTick(); });

    connect(hsbView, &QScrollBar::valueChanged, this, [this](int value) {
        if (ContentSurface *c = content())
            c->setLeft(-value);
    });
    connect(vsbView, &QScrollBar::valueChanged, this, [this](int value) {
        if (ContentSurface *c = content())
            c->setTop(-value);
    });
    connect(picView, &PictureView::mouseDown, this, &frmView::viewerMouseDown);
    connect(picView, &PictureView::mouseMoved, this, &frmView::viewerMouseMove);
    connect(picView, &PictureView::mouseUp, this, &frmView::viewerMouseUp);
    connect(picView, &PictureView::dragOver, this, &frmView::viewerDragOver);
    // The movie surfaces do not take drops themselves; the window takes them for them.
    setAcceptDrops(true);
    auto *drops = new FileDropFilter(this);
    installEventFilter(drops);
    connect(drops, &FileDropFilter::pathsDropped, this, &frmView::filesDropped);
    connect(picView, &PictureView::filesDropped, this, &frmView::filesDropped);
    // The keys scroll the picture; the bars must not take them for themselves.
    setFocusPolicy(Qt::StrongFocus);
    hsbView->setFocusPolicy(Qt::NoFocus);
    vsbView->setFocusPolicy(Qt::NoFocus);
    m_popupRunner = [](QMenu *menu, const QPoint &at) {
        menu->exec(at);
    };
    m_moveStarter = [this] {
        if (QWindow *w = windowHandle())
            w->startSystemMove();
    };
    connect(g_clsImage.get(), &cImage::drawingFailed, this, [this] {
        // Dropped from the event loop, as the failed drawing may sit inside a display step;
        // by then another file may be on screen, which stays.
        if (m_slideshow.stateFlags == 0)
            return;
        const int failed = m_slideshow.currentIndex;
        QTimer::singleShot(0, this, [this, failed] {
            if (m_slideshow.currentIndex == failed)
                m_slideshow.dropCurrentFile();
        });
    });
    connect(&m_options, &Options::valueChanged, this, [this](Opt id) { onOptionChanged(int(id)); });
    connect(&m_options, &Options::loaded, this, [this] {
        applyBackColor();
        showViewerTitleBar(m_options.isChecked(Opt::chkShowTitlebar));
        showViewerStatusBar(m_options.isChecked(Opt::chkShowStatusbar));
    });

    m_titleBarShown = m_options.isChecked(Opt::chkShowTitlebar);
    setWindowFlag(Qt::FramelessWindowHint, !m_titleBarShown);
    setWindowTitle(m_titleBarShown ? QStringLiteral("Lunetta") : QString());
    m_statusBarShown = m_options.isChecked(Opt::chkShowStatusbar);
    stbView->setVisible(m_statusBarShown);
    applyBackColor();

    setOuterSize(200, 200);
    m_slideshow.setViewer(this);
}

void frmView::connectPlayers()
{
    connect(mpView, &::mpView::EndOfStream, this, [this] { m_slideshow.mpView_EndOfStream(); });
    connect(mpView, &::mpView::Error, this, [this] { m_slideshow.mpView_Error(); });
    connect(mpView, &::mpView::NewStream, this, [this] {
        m_slideshow.mpView_NewStream(mpView->Duration(), mpView->isDurationValid());
    });
    connect(mpView, &::mpView::PlayStateChange, this,
            [this](int, int newState) { m_slideshow.mpView_PlayStateChange(newState); });
    connect(raView, &::raView::OnClipOpened, this,
            [this](int length) { m_slideshow.raView_OnClipOpened(length); });
    connect(raView, &::raView::OnClipClosed, this, [this] { m_slideshow.raView_OnClipClosed(); });
    connect(raView, &::raView::OnErrorMessage, this,
            [this](int, int, int, const QString &, const QString &, const QString &description) {
                m_slideshow.raView_OnErrorMessage(description);
            });
    connect(raView, &::raView::OnPositionChange, this,
            [this] { m_slideshow.raView_OnPositionChange(raView->position()); });
    connect(raView, &::raView::OnPlayStateChange, this,
            [this](int, int newState) { m_slideshow.raView_OnPlayStateChange(newState); });

    // The players' mouse reaches the viewer in display-area coordinates. The movie player
    // passes its buttons on as they are; the RealMedia player knows left and right only, and
    // moves count as moves with the left button.
    auto forward = [this](VideoSurface *player, bool realPlayer) {
        auto at = [player](int x, int y) {
            return QPoint(x + player->x(), y + player->y());
        };
        auto button = [realPlayer](int b) {
            return realPlayer ? (b & 2 ? 2 : 1) : b;
        };
        connect(player, &VideoSurface::MouseDown, this,
                [this, at, button, realPlayer](int b, int shift, int x, int y) {
                    const QPoint p = at(x, y);
                    viewerMouseDown(button(b), shift, p.x(), p.y());
                });
        connect(player, &VideoSurface::MouseMove, this,
                [this, at, button, realPlayer](int b, int shift, int x, int y) {
                    const QPoint p = at(x, y);
                    viewerMouseMove(realPlayer ? 1 : b, shift, p.x(), p.y());
                });
        connect(player, &VideoSurface::MouseUp, this,
                [this, at, button, realPlayer](int b, int shift, int x, int y) {
                    const QPoint p = at(x, y);
                    viewerMouseUp(button(b), shift, p.x(), p.y());
                });
    };
    forward(mpView, false);
    forward(raView, true);
}

void frmView::viewerMouseDown(int button, int, int, int)
{
    dragArmed = false;
    if ((button & 1) && !m_options.isChecked(Opt::chkShowTitlebar)) {
        dragArmed = true;
        dragArmedAt = m_slideshow.clock().secondsSinceMidnight();
    }
}

void frmView::viewerMouseMove(int, int, int, int)
{
    if (m_options.isChecked(Opt::chkHideWithMouse)) {
        m_slideshow.hideViewer(true);
        return;
    }
    if (!dragArmed)
        return;
    double elapsed = m_slideshow.clock().secondsSinceMidnight() - dragArmedAt;
    // Armed just before midnight and moved after it.
    if (elapsed < 0)
        elapsed += 24 * 60 * 60;
    if (elapsed <= 0.1)
        return;
    dragArmed = false;
    // The window system takes the pointer over from here; our grab would stand in its way.
    if (QWidget *grabber = QWidget::mouseGrabber())
        grabber->releaseMouse();
    m_moveStarter();
}

void frmView::viewerMouseUp(int button, int, int, int)
{
    if (button & 1) {
        m_slideshow.hideViewer(true);
        dragArmed = false;
    } else if (button & 2) {
        // Queued: a command from the menu may hide or take down the window whose mouse event
        // asked for it, so the menu must not run inside that event.
        const QPoint at = QCursor::pos();
        QTimer::singleShot(0, this, [this, at] { showPopupMenu(at); });
    }
}

void frmView::viewerDragOver(int state)
{
    if (m_options.isChecked(Opt::chkHideWithMouse) && (state == 0 || state == 2))
        m_slideshow.hideViewer(true);
}

void frmView::setPopupMenu(QMenu *menu, QAction *defaultAction, std::function<bool()> closing)
{
    m_popup = menu;
    m_popupDefault = defaultAction;
    m_closing = std::move(closing);
}

void frmView::setPopupRunner(std::function<void(QMenu *, const QPoint &)> runner)
{
    m_popupRunner = std::move(runner);
}

void frmView::setWindowMoveStarter(std::function<void()> starter)
{
    m_moveStarter = std::move(starter);
}

void frmView::showPopupMenu(const QPoint &globalPos)
{
    if (!m_popup)
        return;
    // The time the menu is open does not count towards the file's interval.
    m_slideshow.suspendIntervalClock(true);
    m_popup->setDefaultAction(m_popupDefault);
    const QPointer<frmView> self(this);
    const std::function<bool()> closing = m_closing;
    Slideshow &slideshow = m_slideshow;
    m_popupRunner(m_popup, globalPos);
    // A command may have ended the program, the show or the viewer meanwhile.
    if (!self || (closing && closing()))
        return;
    if (slideshow.isRunning() && !slideshow.isPaused() && !slideshow.isHidden())
        slideshow.suspendIntervalClock(false);
}

void frmView::keyPressEvent(QKeyEvent *event)
{
    const bool hVisible = !hsbView->isHidden();
    const bool vVisible = !vsbView->isHidden();
    auto step = [](QScrollBar *bar, int by) {
        bar->setValue(std::clamp(bar->value() + by, bar->minimum(), bar->maximum()));
    };
    switch (event->key()) {
    case Qt::Key_Up:
        if (vVisible)
            step(vsbView, -1);
        break;
    case Qt::Key_Down:
        if (vVisible)
            step(vsbView, 1);
        break;
    case Qt::Key_Left:
        if (hVisible)
            step(hsbView, -1);
        break;
    case Qt::Key_Right:
        if (hVisible)
            step(hsbView, 1);
        break;
    case Qt::Key_PageUp:
        if (vVisible)
            step(vsbView, -vsbView->pageStep());
        break;
    case Qt::Key_PageDown:
        if (vVisible)
            step(vsbView, vsbView->pageStep());
        break;
    case Qt::Key_F10:
        if (event->modifiers() & Qt::ShiftModifier) {
            showPopupMenu(picView->mapToGlobal(picView->rect().center()));
            break;
        }
        return QWidget::keyPressEvent(event);
    case Qt::Key_Menu:
        showPopupMenu(picView->mapToGlobal(picView->rect().center()));
        break;
    default:
        return QWidget::keyPressEvent(event);
    }
    event->accept();
}

void frmView::contextMenuEvent(QContextMenuEvent *event)
{
    // The right button opens the menu on its release; the menu key arrives as a key press.
    // A context request from the keyboard that got here without one still gets the menu.
    if (event->reason() == QContextMenuEvent::Keyboard)
        showPopupMenu(picView->mapToGlobal(picView->rect().center()));
    event->accept();
}

frmView::~frmView()
{
    if (m_slideshow.viewer() == this)
        m_slideshow.setViewer(nullptr);
}

// --- geometry kept in the settings ---------------------------------------------------------

void frmView::loadWindowRect(const SettingsStore &store)
{
    const int tppX = twipsPerPixel(screen()->logicalDotsPerInchX());
    const int tppY = twipsPerPixel(screen()->logicalDotsPerInchY());
    auto read = [&](const QString &key, const QString &fallback, int tpp) {
        return qRound(store.GetSetting(SettingKeys::Section::Viewer, key, fallback).toDouble()
                      / tpp);
    };
    const int left = read(SettingKeys::Left, QStringLiteral("0"), tppX);
    const int top = read(SettingKeys::Top, QStringLiteral("0"), tppY);
    const int width = read(SettingKeys::Width, QStringLiteral("3000"), tppX);
    const int height = read(SettingKeys::Height, QStringLiteral("3000"), tppY);
    move(left, top);
    setOuterSize(width, height);
}

void frmView::saveWindowRect(SettingsStore &store) const
{
    if (isMinimized() || isMaximized() || isFullScreen())
        return;
    const QRect r = outerTwips();
    SettingsStore::Batch batch(store);
    store.SaveSetting(SettingKeys::Section::Viewer, SettingKeys::Top, QString::number(r.y()));
    store.SaveSetting(SettingKeys::Section::Viewer, SettingKeys::Left, QString::number(r.x()));
    store.SaveSetting(SettingKeys::Section::Viewer, SettingKeys::Width, QString::number(r.width()));
    store.SaveSetting(SettingKeys::Section::Viewer, SettingKeys::Height,
                      QString::number(r.height()));
}

// --- measuring -----------------------------------------------------------------------------

void frmView::measureViewer()
{
    QScreen *s = screen();
    m_metrics.twipsPerPixelX = twipsPerPixel(s->logicalDotsPerInchX());
    m_metrics.twipsPerPixelY = twipsPerPixel(s->logicalDotsPerInchY());
    const int statusBar = shownStatusBarHeight();
    m_metrics.viewAreaWidth = width();
    m_metrics.viewAreaHeight = height() - statusBar;
    if (m_metrics.viewAreaHeight < 0) {
        // Too low for its status bar: grow by exactly the deficit.
        resize(width(), statusBar);
        m_metrics.viewAreaHeight = height() - statusBar;
    }
    const QSize outer = frameGeometry().size();
    m_metrics.frameWidth = outer.width() - m_metrics.viewAreaWidth;
    m_metrics.frameHeight = outer.height() - m_metrics.viewAreaHeight;
    m_metrics.workArea = s->availableGeometry();
    m_measuredMargins = currentFrameMargins();
}

// --- sizing for a file ---------------------------------------------------------------------

void frmView::sizeViewerForFile()
{
    ContentSurface *c = content();
    if (!c)
        return;
    const bool stretch = m_options.isChecked(Opt::chkStretchImage);

    if (m_options.isChecked(Opt::chkZoomImage)) {
        const QSize z = zoomed(QSize(c->width(), c->height()), m_options.number(Opt::txtZoomImage));
        c->setFitToSize();
        c->Move(std::nullopt, std::nullopt, z.width(), z.height());
    }

    if (m_options.isChecked(Opt::chkFixFormSize)) {
        // The window keeps its size; the content may be made to fit it.
        if (stretch) {
            c->setFitToSize();
            fitContentToArea(m_metrics.viewAreaWidth, m_metrics.viewAreaHeight);
        }
    } else {
        SizeLimitOptions limits;
        limits.maxWidthOn = m_options.isChecked(Opt::chkMaxWidth);
        limits.maxWidth = optionInteger(m_options, Opt::txtMaxWidth);
        limits.maxHeightOn = m_options.isChecked(Opt::chkMaxHeight);
        limits.maxHeight = optionInteger(m_options, Opt::txtMaxHeight);
        limits.fixFormOn = m_options.isChecked(Opt::chkFixForm);
        limits.fixLocation = m_options.comboIndex(Opt::cmbFixFormLocation);
        limits.fixX = optionInteger(m_options, Opt::txtFixX);
        limits.fixY = optionInteger(m_options, Opt::txtFixY);
        const QSize max = sizeLimits(limits, m_metrics.workArea, frameGeometry().topLeft());
        const QSize outer = fitWindowToContent(max.width(), max.height());
        setOuterSize(outer.width(), outer.height());
        if (stretch)
            c->setFitToSize();
    }

    applyFixedPosition();
    if (!m_slideshow.layoutDone)
        layoutScrollBars();
    hsbView->setValue(0);
    vsbView->setValue(0);
    placeContent();
}

QSize frmView::fitWindowToContent(int maxWidth, int maxHeight)
{
    ContentSurface *c = content();
    if (!c)
        return frameGeometry().size();
    const WindowFit fit = ViewerGeometry::fitWindowToContent(
        QSize(c->width(), c->height()), maxWidth, maxHeight, m_metrics.frameWidth,
        m_metrics.frameHeight, hBarHeight(), vBarWidth(), m_options.isChecked(Opt::chkStretchImage),
        m_slideshow.aspectRatio);
    if (fit.contentSize) {
        c->setFitToSize();
        c->Move(std::nullopt, std::nullopt, fit.contentSize->width(), fit.contentSize->height());
    }
    return QSize(fit.width, fit.height);
}

void frmView::applyFixedPosition()
{
    if (!m_options.isChecked(Opt::chkFixForm))
        return;
    const int tppX = m_metrics.twipsPerPixelX;
    const int tppY = m_metrics.twipsPerPixelY;
    const QSize outer = frameGeometry().size();
    const auto at = fixedPosition(m_options.comboIndex(Opt::cmbFixFormLocation),
                                  optionInteger(m_options, Opt::txtFixX),
                                  optionInteger(m_options, Opt::txtFixY), m_metrics.workArea, tppX,
                                  tppY, QSize(outer.width() * tppX, outer.height() * tppY));
    if (at)
        move(at->x() / tppX, at->y() / tppY);
}

void frmView::layoutScrollBars()
{
    ContentSurface *c = content();
    if (!c)
        return;
    const ScrollBarLayout l = ViewerGeometry::layoutScrollBars(
        QSize(c->width(), c->height()), QSize(m_metrics.viewAreaWidth, m_metrics.viewAreaHeight),
        hBarHeight(), vBarWidth());

    if (l.needH) {
        hsbView->setGeometry(l.hBar);
        hsbView->setMaximum(l.hMax);
        if (l.hLargeChange > 0)
            hsbView->setPageStep(l.hLargeChange);
        if (hsbView->isHidden()) {
            hsbView->show();
            c->setLeft(0);
            hsbView->setValue(0);
        }
    } else if (!hsbView->isHidden()) {
        hsbView->hide();
        c->setLeft(0);
    }

    if (l.needV) {
        vsbView->setGeometry(l.vBar);
        vsbView->setMaximum(l.vMax);
        if (l.vLargeChange > 0)
            vsbView->setPageStep(l.vLargeChange);
        if (vsbView->isHidden()) {
            vsbView->show();
            c->setTop(0);
            vsbView->setValue(0);
        }
    } else if (!vsbView->isHidden()) {
        vsbView->hide();
        c->setTop(0);
    }

    picView->resize(l.picView);
}

void frmView::fitContentToArea(int areaWidth, int areaHeight)
{
    ContentSurface *c = content();
    if (!c)
        return;
    const QSize s = ViewerGeometry::fitContentToArea(
        areaWidth, areaHeight, m_options.isChecked(Opt::chkFixHeightWidthRate),
        m_slideshow.aspectRatio);
    c->Move(0, 0, s.width(), s.height());
}

void frmView::centreContent()
{
    ContentSurface *c = content();
    if (!c)
        return;
    const QPoint at = ViewerGeometry::centreContent(c->contentRect(), picView->size());
    if (at != QPoint(c->left(), c->top()))
        c->Move(at.x(), at.y());
}

void frmView::placeContent()
{
    ContentSurface *c = content();
    if (!c)
        return;
    const QPoint at = ViewerGeometry::placeContent(c->contentRect(), picView->size());
    if (at != QPoint(c->left(), c->top()))
        c->Move(at.x(), at.y());
}

// --- resizing --------------------------------------------------------------------------------

void frmView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    placeStatusBar();
    if (isMinimized())
        return;
    handleResize();
    checkFrameMargins();
}

void frmView::handleResize()
{
    const int statusBar = shownStatusBarHeight();
    m_metrics.viewAreaWidth = width();
    m_metrics.viewAreaHeight = height() - statusBar;
    if (m_metrics.viewAreaHeight < 0) {
        // The resize this causes lays the window out.
        resize(width(), statusBar);
        return;
    }
    const int W = m_metrics.viewAreaWidth;
    const int H = m_metrics.viewAreaHeight;
    ContentSurface *c = content();
    if (!c) {
        picView->setGeometry(0, 0, W, H);
        return;
    }

    // No drawing while the layout changes; switching the picture back on draws it once.
    const bool picture = m_slideshow.mediaKind == MediaKind::Picture;
    const bool wasVisible = picture && g_clsImage->Visible();
    if (picture)
        g_clsImage->setVisible(false);

    if (m_options.isChecked(Opt::chkStretchImage)) {
        if (!hsbView->isHidden() || !vsbView->isHidden()) {
            hsbView->hide();
            vsbView->hide();
            c->setFitToSize();
        }
        picView->setGeometry(0, 0, W, H);
        fitContentToArea(W, H);
    } else {
        layoutScrollBars();
        m_slideshow.setLayoutDone(true);
    }
    centreContent();
    if (picture)
        g_clsImage->setVisible(wasVisible);
}

void frmView::placeStatusBar()
{
    const int h = statusBarHeight();
    stbView->setGeometry(0, height() - h, width(), h);
}

void frmView::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange)
        return;
    // Restoring a minimised window lays it out again, as a resize would.
    if (m_wasMinimized && !isMinimized())
        handleResize();
    m_wasMinimized = isMinimized();
}

void frmView::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    checkFrameMargins();
}

void frmView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    checkFrameMargins();
    // Some window managers report the frame a moment after mapping the window.
    QTimer::singleShot(100, this, &frmView::checkFrameMargins);
}

void frmView::checkFrameMargins()
{
    if (!m_frameUnknown || !isVisible())
        return;
    const QMargins margins = currentFrameMargins();
    if (margins.isNull())
        return;
    m_frameUnknown = false;
    if (margins != m_measuredMargins)
        refitCurrentFile();
}

// The frame was measured as nothing before the window was first framed; size the file on
// screen again with the real frame so that the window stays inside the work area.
void frmView::refitCurrentFile()
{
    measureViewer();
    if (m_slideshow.mediaKind == MediaKind::MediaPlayer
        || m_slideshow.mediaKind == MediaKind::RealAudio) {
        VideoSurface *player = m_slideshow.mediaKind == MediaKind::MediaPlayer
            ? static_cast<VideoSurface *>(mpView)
            : static_cast<VideoSurface *>(raView);
        player->setAutoSize(true);
        player->setDisplaySize(0);
        m_slideshow.setLayoutDone(false);
        sizeViewerForFile();
        return;
    }
    if (m_slideshow.mediaKind != MediaKind::Picture)
        return;
    const bool wasVisible = g_clsImage->Visible();
    g_clsImage->setVisible(false);
    g_clsImage->setStretch(false);
    g_clsImage->Move(std::nullopt, std::nullopt, picBack.size().width(), picBack.size().height());
    m_slideshow.setLayoutDone(false);
    sizeViewerForFile();
    g_clsImage->setVisible(wasVisible);
}

void frmView::closeEvent(QCloseEvent *event)
{
    // The viewer lives for the whole run: closing it stops the show instead.
    event->ignore();
    m_slideshow.stopSlideshow();
}

// --- title bar, status bar, hiding ----------------------------------------------------------

void frmView::showViewerTitleBar(bool show)
{
    if (show == m_titleBarShown)
        return;
    m_titleBarShown = show;
    const QPoint topLeft = frameGeometry().topLeft();
    const bool wasVisible = isVisible();
    setWindowTitle(show ? QStringLiteral("Lunetta") : QString());
    // Changing the frame re-creates the window, which hides it.
    setWindowFlag(Qt::FramelessWindowHint, !show);
    move(topLeft);
    if (wasVisible)
        this->show();
    measureViewer();
}

void frmView::showViewerStatusBar(bool show)
{
    if (show == m_statusBarShown)
        return;
    m_statusBarShown = show;
    stbView->setVisible(show);
    measureViewer();
    // The display area keeps its size: the window grows or shrinks by the bar.
    const int h = statusBarHeight();
    resize(width(), height() + (show ? h : -h));
}

bool frmView::isCursorOverViewer() const
{
    return ViewerGeometry::isCursorOverViewer(QCursor::pos(), outerTwips(),
                                              m_metrics.twipsPerPixelX, m_metrics.twipsPerPixelY);
}

void frmView::tmrCursorPos_Timer()
{
    if (m_slideshow.isHidden() && !isCursorOverViewer())
        m_slideshow.unhideViewer();
}

// --- ViewerPort -----------------------------------------------------------------------------

void frmView::moveContentToOrigin()
{
    picView->move(0, 0);
    g_clsImage->Move(0, 0);
    mpView->Move(0, 0);
    raView->Move(0, 0);
}

void frmView::hideScrollBars()
{
    hsbView->hide();
    vsbView->hide();
}

void frmView::startTickTimer()
{
    tmrView->start();
}

void frmView::stopTickTimer()
{
    tmrView->stop();
}

void frmView::startCursorWatch()
{
    tmrCursorPos->start();
}

void frmView::stopCursorWatch()
{
    tmrCursorPos->stop();
}

void frmView::clearPicture()
{
    g_clsImage->setVisible(false);
    g_clsImage->setStretch(false);
    g_clsImage->setLeft(parkedLeft);
    g_clsImage->Cls();
}

bool frmView::LoadPic(const QString &path)
{
    // What still waits was meant for this step or is outdated by it.
    m_ahead->cancel();
    return g_clsImage->LoadPic(path, largestStretchedSize(), visiblePart());
}

void frmView::decodeAhead(const QString &path)
{
    m_ahead->request(path);
}

// The most the window shows of a picture at its natural size; invalid when it is zoomed, which
// draws the whole picture at another scale.
QSize frmView::visiblePart() const
{
    if (m_options.isChecked(Opt::chkZoomImage))
        return QSize();
    return m_metrics.workArea.size();
}

// The largest size a stretched picture is drawn at before the options change: the window never
// outgrows the work area or the size limits. Invalid when pictures may be drawn at full size.
QSize frmView::largestStretchedSize() const
{
    if (!m_options.isChecked(Opt::chkStretchImage) || m_options.isChecked(Opt::chkZoomImage))
        return QSize();
    QSize bound = m_metrics.workArea.size().expandedTo(
        QSize(m_metrics.viewAreaWidth, m_metrics.viewAreaHeight));
    if (m_options.isChecked(Opt::chkMaxWidth))
        bound.setWidth(std::max(bound.width(), optionInteger(m_options, Opt::txtMaxWidth)));
    if (m_options.isChecked(Opt::chkMaxHeight))
        bound.setHeight(std::max(bound.height(), optionInteger(m_options, Opt::txtMaxHeight)));
    return bound;
}

void frmView::dropDecodeAhead()
{
    m_ahead->cancel();
    g_clsImage->dropDecodeAhead();
}

void frmView::adoptDecodedPicture()
{
    g_clsImage->Move(g_clsImage->left(), g_clsImage->top(), picBack.size().width(),
                     picBack.size().height());
}

QSize frmView::pictureSize() const
{
    return QSize(g_clsImage->width(), g_clsImage->height());
}

void frmView::setViewerCaption(const QString &caption)
{
    setWindowTitle(caption);
}

void frmView::setStatusTexts(const QString &fileName, const QString &page)
{
    m_fileNamePanel->setText(fileName);
    m_fileNamePanel->setToolTip(fileName);
    m_pagePanel->setText(page);
}

void frmView::showPicture()
{
    g_clsImage->setVisible(true);
}

void frmView::showViewerWindow()
{
    show();
    WindowMemory::prepare(this);
}

void frmView::hideViewerWindow()
{
    hide();
}

QString frmView::statusPanelText(const QString &key) const
{
    if (key == m_fileNamePanel->objectName())
        return m_fileNamePanel->text();
    if (key == m_pagePanel->objectName())
        return m_pagePanel->text();
    return QString();
}

// --- helpers --------------------------------------------------------------------------------

ContentSurface *frmView::content() const
{
    switch (m_slideshow.mediaKind) {
    case MediaKind::Picture:
        return g_clsImage.get();
    case MediaKind::MediaPlayer:
        return mpView;
    case MediaKind::RealAudio:
        return raView;
    case MediaKind::None:
        break;
    }
    return nullptr;
}

void frmView::applyBackColor()
{
    QColor color;
    if (!hexToColor(m_options.text(Opt::txtBackColor), color))
        return;
    picView->setBackColor(color);
    mpView->setBackColor(color);
    raView->setBackColor(color);
    // Redraws the picture on the new background, or clears the area to it.
    g_clsImage->setVisible(g_clsImage->Visible());
}

void frmView::onOptionChanged(int id)
{
    switch (Opt(id)) {
    case Opt::txtBackColor:
        applyBackColor();
        break;
    case Opt::chkShowTitlebar:
        showViewerTitleBar(m_options.isChecked(Opt::chkShowTitlebar));
        break;
    case Opt::chkShowStatusbar:
        showViewerStatusBar(m_options.isChecked(Opt::chkShowStatusbar));
        break;
    default:
        break;
    }
}

int frmView::statusBarHeight() const
{
    return stbView->sizeHint().height();
}

int frmView::shownStatusBarHeight() const
{
    return m_options.isChecked(Opt::chkShowStatusbar) ? statusBarHeight() : 0;
}

int frmView::hBarHeight() const
{
    return style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, hsbView);
}

int frmView::vBarWidth() const
{
    return style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, vsbView);
}

QMargins frmView::currentFrameMargins() const
{
    const QRect frame = frameGeometry();
    const QRect client = geometry();
    return QMargins(client.left() - frame.left(), client.top() - frame.top(),
                    frame.right() - client.right(), frame.bottom() - client.bottom());
}

void frmView::setOuterSize(int width, int height)
{
    const QMargins m = currentFrameMargins();
    resize(std::max(1, width - m.left() - m.right()), std::max(1, height - m.top() - m.bottom()));
    // A hidden window gets its resize event only when it is shown, but the layout of the file
    // being shown needs the new display area now: the first file of every show is sized while
    // the viewer is still hidden.
    if (testAttribute(Qt::WA_PendingResizeEvent)) {
        m_metrics.viewAreaWidth = this->width();
        m_metrics.viewAreaHeight = std::max(0, this->height() - shownStatusBarHeight());
    }
}

QRect frmView::outerTwips() const
{
    const QRect r = frameGeometry();
    const int tppX = m_metrics.twipsPerPixelX;
    const int tppY = m_metrics.twipsPerPixelY;
    return QRect(r.x() * tppX, r.y() * tppY, r.width() * tppX, r.height() * tppY);
}
