#include "viewer/window/frmView.h"

#include "viewer/window/ViewerInput.h"
#include "viewer/window/ViewerLayout.h"

#include "core/Clock.h"
#include "core/ColorHex.h"
#include "core/FileDropFilter.h"
#include "core/Options.h"
#include "core/SettingKeys.h"
#include "core/SettingsStore.h"
#include "engine/Slideshow.h"
#include "viewer/movie/mpView.h"
#include "viewer/movie/raView.h"
#include "viewer/picture/ColourConversion.h"
#include "viewer/picture/DeferredDecode.h"
#include "viewer/picture/PictureView.h"
#include "viewer/picture/WindowMemory.h"
#include "viewer/picture/cImage.h"

#include <QApplication>
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
              g_clsImage->decodeAhead(path, m_layout->largestStretchedSize(),
                                      m_layout->visiblePart(), m_layout->stretchedSizeForecast());
          },
          this))
    , m_layout(
          std::make_unique<ViewerLayout>(parts(), options, slideshow, [this] { return content(); }))
    , m_input(new ViewerInput(parts(), options, slideshow, this))
    , m_frameCheck(new QTimer(this))
{
    setObjectName(QStringLiteral("frmView"));
    picView->setObjectName(QStringLiteral("picView"));
    hsbView->setObjectName(QStringLiteral("hsbView"));
    vsbView->setObjectName(QStringLiteral("vsbView"));
    stbView->setObjectName(QStringLiteral("stbView"));
    tmrView->setObjectName(QStringLiteral("tmrView"));
    tmrCursorPos->setObjectName(QStringLiteral("tmrCursorPos"));
    m_frameCheck->setObjectName(QStringLiteral("tmrFrameCheck"));
    m_frameCheck->setSingleShot(true);
    m_frameCheck->setInterval(100);
    connect(m_frameCheck, &QTimer::timeout, this, &frmView::checkFrameMargins);

    picView->move(0, 0);
    // The players wait out of sight until a clip is shown.
    for (VideoSurface *player :
         { static_cast<VideoSurface *>(mpView), static_cast<VideoSurface *>(raView) }) {
        player->hide();
        player->move(ContentSurface::parkedLeft, 0);
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
    connect(tmrView, &QTimer::timeout, this, [this] {
        m_slideshow.setDialogOpen(isDialogOfTheShowOpen());
        m_slideshow.viewerTick();
    });

    connect(hsbView, &QScrollBar::valueChanged, this, [this](int value) {
        if (ContentSurface *c = content())
            c->setLeft(-value);
    });
    connect(vsbView, &QScrollBar::valueChanged, this, [this](int value) {
        if (ContentSurface *c = content())
            c->setTop(-value);
    });
    connect(picView, &PictureView::mouseDown, m_input, &ViewerInput::mouseDown);
    connect(picView, &PictureView::mouseMoved, m_input, &ViewerInput::mouseMove);
    connect(picView, &PictureView::mouseUp, m_input, &ViewerInput::mouseUp);
    connect(picView, &PictureView::dragOver, m_input, &ViewerInput::dragOver);
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
        ColourConversion::setEnabled(m_options.isChecked(Opt::chkColorProfile));
        showViewerTitleBar(m_options.isChecked(Opt::chkShowTitlebar));
        showViewerStatusBar(m_options.isChecked(Opt::chkShowStatusbar));
    });

    m_titleBarShown = m_options.isChecked(Opt::chkShowTitlebar);
    setWindowFlag(Qt::FramelessWindowHint, !m_titleBarShown);
    setWindowTitle(m_titleBarShown ? QStringLiteral("Lunetta") : QString());
    m_statusBarShown = m_options.isChecked(Opt::chkShowStatusbar);
    stbView->setVisible(m_statusBarShown);
    applyBackColor();
    ColourConversion::setEnabled(m_options.isChecked(Opt::chkColorProfile));

    m_layout->setOuterSize(200, 200);
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
        connect(player, &VideoSurface::mouseDown, this,
                [this, at, button, realPlayer](int b, int shift, int x, int y) {
                    const QPoint p = at(x, y);
                    m_input->mouseDown(button(b), shift, p.x(), p.y());
                });
        connect(player, &VideoSurface::mouseMoved, this,
                [this, at, button, realPlayer](int b, int shift, int x, int y) {
                    const QPoint p = at(x, y);
                    m_input->mouseMove(realPlayer ? 1 : b, shift, p.x(), p.y());
                });
        connect(player, &VideoSurface::mouseUp, this,
                [this, at, button, realPlayer](int b, int shift, int x, int y) {
                    const QPoint p = at(x, y);
                    m_input->mouseUp(button(b), shift, p.x(), p.y());
                });
    };
    forward(mpView, false);
    forward(raView, true);
}

void frmView::keyPressEvent(QKeyEvent *event)
{
    if (!m_input->keyPress(event))
        QWidget::keyPressEvent(event);
}

void frmView::contextMenuEvent(QContextMenuEvent *event)
{
    // The right button opens the menu on its release; the menu key arrives as a key press.
    // A context request from the keyboard that got here without one still gets the menu.
    if (event->reason() == QContextMenuEvent::Keyboard)
        m_input->showPopupMenuAtArea();
    event->accept();
}

void frmView::viewerMouseDown(int button, int shift, int x, int y)
{
    m_input->mouseDown(button, shift, x, y);
}

void frmView::viewerMouseMove(int button, int shift, int x, int y)
{
    m_input->mouseMove(button, shift, x, y);
}

void frmView::viewerMouseUp(int button, int shift, int x, int y)
{
    m_input->mouseUp(button, shift, x, y);
}

void frmView::viewerDragOver(int state)
{
    m_input->dragOver(state);
}

void frmView::setPopupMenu(QMenu *menu, QAction *defaultAction, std::function<bool()> closing)
{
    m_input->setPopupMenu(menu, defaultAction, std::move(closing));
}

void frmView::showPopupMenu(const QPoint &globalPos)
{
    m_input->showPopupMenu(globalPos);
}

void frmView::setPopupRunner(std::function<void(QMenu *, const QPoint &)> runner)
{
    m_input->setPopupRunner(std::move(runner));
}

void frmView::setWindowMoveStarter(std::function<void()> starter)
{
    m_input->setWindowMoveStarter(std::move(starter));
}

bool frmView::isDragArmed() const
{
    return m_input->isDragArmed();
}

bool frmView::isDialogOfTheShowOpen()
{
    // A modal dialog (a question, a file dialog, an option dialog) or the page jump, whose
    // choices refer to the list as it stands.
    if (QApplication::activeModalWidget())
        return true;
    const QWidgetList windows = QApplication::topLevelWidgets();
    return std::any_of(windows.begin(), windows.end(), [](const QWidget *w) {
        return w->isVisible() && w->objectName() == u"frmJump";
    });
}

frmView::~frmView()
{
    if (m_slideshow.viewer() == this)
        m_slideshow.setViewer(nullptr);
}

// --- geometry kept in the settings ---------------------------------------------------------

// --- measuring -----------------------------------------------------------------------------

void frmView::measureViewer()
{
    m_layout->measureViewer();
}

// --- sizing for a file ---------------------------------------------------------------------

// --- resizing --------------------------------------------------------------------------------

void frmView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_layout->placeStatusBar();
    if (isMinimized())
        return;
    m_layout->handleResize();
    checkFrameMargins();
}

void frmView::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange)
        return;
    // Restoring a minimised window lays it out again, as a resize would.
    if (m_wasMinimized && !isMinimized())
        m_layout->handleResize();
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
    m_frameCheck->start();
}

void frmView::checkFrameMargins()
{
    if (m_layout->frameNowKnownAndChanged())
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
        m_layout->sizeViewerForFile();
        return;
    }
    if (m_slideshow.mediaKind != MediaKind::Picture)
        return;
    const bool wasVisible = g_clsImage->Visible();
    g_clsImage->setVisible(false);
    g_clsImage->setStretch(false);
    g_clsImage->Move(std::nullopt, std::nullopt, picBack.size().width(), picBack.size().height());
    m_slideshow.setLayoutDone(false);
    m_layout->sizeViewerForFile();
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
    const int h = m_layout->statusBarHeight();
    resize(width(), height() + (show ? h : -h));
}

void frmView::tmrCursorPos_Timer()
{
    if (m_slideshow.isHidden() && !m_layout->isCursorOverViewer())
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
    m_layout->hideScrollBars();
}

void frmView::sizeViewerForFile()
{
    m_layout->sizeViewerForFile();
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
    g_clsImage->setLeft(ContentSurface::parkedLeft);
    g_clsImage->Cls();
}

bool frmView::LoadPic(const QString &path)
{
    // What still waits was meant for this step or is outdated by it.
    m_ahead->cancel();
    return g_clsImage->LoadPic(path, m_layout->largestStretchedSize(), m_layout->visiblePart());
}

void frmView::decodeAhead(const QString &path)
{
    m_ahead->request(path);
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

bool frmView::pictureMoves() const
{
    return g_clsImage->animationMoves();
}
bool frmView::animationPlayedThrough() const
{
    return g_clsImage->animationPlayedThrough();
}
void frmView::playAnimation(bool play)
{
    g_clsImage->playAnimation(play);
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

ViewerParts frmView::parts()
{
    return { *this, *picView, *hsbView, *vsbView, *stbView, *g_clsImage };
}

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
    case Opt::chkColorProfile:
        ColourConversion::setEnabled(m_options.isChecked(Opt::chkColorProfile));
        break;
    default:
        break;
    }
}
