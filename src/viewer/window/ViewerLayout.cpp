#include "viewer/window/ViewerLayout.h"

#include "core/Options.h"
#include "core/SettingKeys.h"
#include "core/SettingsStore.h"
#include "core/Twips.h"
#include "engine/Slideshow.h"
#include "viewer/picture/ContentSurface.h"
#include "viewer/picture/PictureView.h"
#include "viewer/picture/cImage.h"

#include <QCursor>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyle>
#include <QWidget>

#include <algorithm>
#include <utility>

using namespace ViewerGeometry;

namespace {

int optionInteger(const Options &options, Opt id)
{
    return roundHalfEven(options.number(id));
}

} // namespace

ViewerLayout::ViewerLayout(const ViewerParts &parts, Options &options, Slideshow &slideshow,
                           std::function<ContentSurface *()> content)
    : m_parts(parts)
    , m_options(options)
    , m_slideshow(slideshow)
    , m_content(std::move(content))
{ }

bool ViewerLayout::frameNowKnownAndChanged()
{
    if (!m_frameUnknown || !m_parts.window.isVisible())
        return false;
    const QMargins margins = currentFrameMargins();
    if (margins.isNull())
        return false;
    m_frameUnknown = false;
    return margins != m_measuredMargins;
}

void ViewerLayout::loadWindowRect(const SettingsStore &store)
{
    const int tppX = twipsPerPixel(m_parts.window.screen()->logicalDotsPerInchX());
    const int tppY = twipsPerPixel(m_parts.window.screen()->logicalDotsPerInchY());
    auto read = [&](const QString &key, double fallback, int tpp) {
        return Twips::storedToPixels(store.GetSetting(SettingKeys::Section::Viewer, key), fallback,
                                     tpp);
    };
    // A first start opens the viewer at the work area's top left; the controller opens at its
    // top right.
    const QRect work = m_parts.window.screen()->availableGeometry();
    const bool placed
        = !store.GetSetting(SettingKeys::Section::Viewer, SettingKeys::Left, QString()).isEmpty();
    const int left = placed ? read(SettingKeys::Left, 0, tppX) : work.left();
    const int top = placed ? read(SettingKeys::Top, 0, tppY) : work.top();
    const int width = read(SettingKeys::Width, 3000, tppX);
    const int height = read(SettingKeys::Height, 3000, tppY);
    m_parts.window.move(left, top);
    setOuterSize(width, height);
}

void ViewerLayout::saveWindowRect(SettingsStore &store) const
{
    if (m_parts.window.isMinimized() || m_parts.window.isMaximized()
        || m_parts.window.isFullScreen())
        return;
    const QRect r = outerTwips();
    SettingsStore::Batch batch(store);
    store.SaveSetting(SettingKeys::Section::Viewer, SettingKeys::Top, QString::number(r.y()));
    store.SaveSetting(SettingKeys::Section::Viewer, SettingKeys::Left, QString::number(r.x()));
    store.SaveSetting(SettingKeys::Section::Viewer, SettingKeys::Width, QString::number(r.width()));
    store.SaveSetting(SettingKeys::Section::Viewer, SettingKeys::Height,
                      QString::number(r.height()));
}

void ViewerLayout::measureViewer()
{
    QScreen *s = m_parts.window.screen();
    m_metrics.twipsPerPixelX = twipsPerPixel(s->logicalDotsPerInchX());
    m_metrics.twipsPerPixelY = twipsPerPixel(s->logicalDotsPerInchY());
    const int statusBar = shownStatusBarHeight();
    m_metrics.viewAreaWidth = m_parts.window.width();
    m_metrics.viewAreaHeight = m_parts.window.height() - statusBar;
    if (m_metrics.viewAreaHeight < 0) {
        // Too low for its status bar: grow by exactly the deficit.
        m_parts.window.resize(m_parts.window.width(), statusBar);
        m_metrics.viewAreaHeight = m_parts.window.height() - statusBar;
    }
    const QSize outer = m_parts.window.frameGeometry().size();
    m_metrics.frameWidth = outer.width() - m_metrics.viewAreaWidth;
    m_metrics.frameHeight = outer.height() - m_metrics.viewAreaHeight;
    m_metrics.workArea = s->availableGeometry();
    m_measuredMargins = currentFrameMargins();
}

void ViewerLayout::sizeViewerForFile()
{
    ContentSurface *c = m_content();
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
        const SizeLimitOptions limits = sizeLimitOptions();
        // Inside the work area first: the limits count from the window's place.
        if (!limits.fixFormOn) {
            const QPoint at = m_parts.window.frameGeometry().topLeft();
            const QPoint inside = topLeftInside(at, m_metrics.workArea);
            if (inside != at)
                m_parts.window.move(inside);
        }
        const QSize max
            = sizeLimits(limits, m_metrics.workArea, m_parts.window.frameGeometry().topLeft());
        const QSize outer = fitWindowToContent(max.width(), max.height());
        setOuterSize(outer.width(), outer.height());
        if (stretch)
            c->setFitToSize();
    }

    applyFixedPosition();
    if (!m_slideshow.layoutDone)
        layoutScrollBars();
    m_parts.hBar.setValue(0);
    m_parts.vBar.setValue(0);
    placeContent();
}

SizeLimitOptions ViewerLayout::sizeLimitOptions() const
{
    SizeLimitOptions limits;
    limits.maxWidthOn = m_options.isChecked(Opt::chkMaxWidth);
    limits.maxWidth = optionInteger(m_options, Opt::txtMaxWidth);
    limits.maxHeightOn = m_options.isChecked(Opt::chkMaxHeight);
    limits.maxHeight = optionInteger(m_options, Opt::txtMaxHeight);
    limits.fixFormOn = m_options.isChecked(Opt::chkFixForm);
    limits.fixLocation = m_options.comboIndex(Opt::cmbFixFormLocation);
    limits.fixX = optionInteger(m_options, Opt::txtFixX);
    limits.fixY = optionInteger(m_options, Opt::txtFixY);
    return limits;
}

QSize ViewerLayout::fitWindowToContent(int maxWidth, int maxHeight)
{
    ContentSurface *c = m_content();
    if (!c)
        return m_parts.window.frameGeometry().size();
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

void ViewerLayout::applyFixedPosition()
{
    if (!m_options.isChecked(Opt::chkFixForm))
        return;
    const int tppX = m_metrics.twipsPerPixelX;
    const int tppY = m_metrics.twipsPerPixelY;
    const QSize outer = m_parts.window.frameGeometry().size();
    const auto at = fixedPosition(m_options.comboIndex(Opt::cmbFixFormLocation),
                                  optionInteger(m_options, Opt::txtFixX),
                                  optionInteger(m_options, Opt::txtFixY), m_metrics.workArea, tppX,
                                  tppY, QSize(outer.width() * tppX, outer.height() * tppY));
    if (at)
        m_parts.window.move(at->x() / tppX, at->y() / tppY);
}

void ViewerLayout::layoutScrollBars()
{
    ContentSurface *c = m_content();
    if (!c)
        return;
    const ScrollBarLayout l = ViewerGeometry::layoutScrollBars(
        QSize(c->width(), c->height()), QSize(m_metrics.viewAreaWidth, m_metrics.viewAreaHeight),
        hBarHeight(), vBarWidth());
    // A bar hidden only for the layout is placed here like a hidden one, without leaving the
    // screen in between.
    const bool hiddenForLayout = std::exchange(m_barsHiddenLater, false);

    const bool hWasHidden = hiddenForLayout || m_parts.hBar.isHidden();
    if (l.needH) {
        m_parts.hBar.setGeometry(l.hBar);
        m_parts.hBar.setMaximum(l.hMax);
        if (l.hLargeChange > 0)
            m_parts.hBar.setPageStep(l.hLargeChange);
        if (hWasHidden) {
            m_parts.hBar.show();
            c->setLeft(0);
            m_parts.hBar.setValue(0);
        }
    } else if (!m_parts.hBar.isHidden()) {
        m_parts.hBar.hide();
        if (!hWasHidden)
            c->setLeft(0);
    }

    const bool vWasHidden = hiddenForLayout || m_parts.vBar.isHidden();
    if (l.needV) {
        m_parts.vBar.setGeometry(l.vBar);
        m_parts.vBar.setMaximum(l.vMax);
        if (l.vLargeChange > 0)
            m_parts.vBar.setPageStep(l.vLargeChange);
        if (vWasHidden) {
            m_parts.vBar.show();
            c->setTop(0);
            m_parts.vBar.setValue(0);
        }
    } else if (!m_parts.vBar.isHidden()) {
        m_parts.vBar.hide();
        if (!vWasHidden)
            c->setTop(0);
    }

    m_parts.area.resize(l.picView);
}

void ViewerLayout::fitContentToArea(int areaWidth, int areaHeight)
{
    ContentSurface *c = m_content();
    if (!c)
        return;
    const QSize s = ViewerGeometry::fitContentToArea(
        areaWidth, areaHeight, m_options.isChecked(Opt::chkFixHeightWidthRate),
        m_slideshow.aspectRatio);
    c->Move(0, 0, s.width(), s.height());
}

void ViewerLayout::centreContent()
{
    ContentSurface *c = m_content();
    if (!c)
        return;
    const QPoint at = ViewerGeometry::centreContent(c->contentRect(), m_parts.area.size());
    if (at != QPoint(c->left(), c->top()))
        c->Move(at.x(), at.y());
}

void ViewerLayout::placeContent()
{
    ContentSurface *c = m_content();
    if (!c)
        return;
    const QPoint at = ViewerGeometry::placeContent(c->contentRect(), m_parts.area.size());
    if (at != QPoint(c->left(), c->top()))
        c->Move(at.x(), at.y());
}

void ViewerLayout::handleResize()
{
    const int statusBar = shownStatusBarHeight();
    m_metrics.viewAreaWidth = m_parts.window.width();
    m_metrics.viewAreaHeight = m_parts.window.height() - statusBar;
    if (m_metrics.viewAreaHeight < 0) {
        // The resize this causes lays the window out.
        m_parts.window.resize(m_parts.window.width(), statusBar);
        return;
    }
    const int W = m_metrics.viewAreaWidth;
    const int H = m_metrics.viewAreaHeight;
    ContentSurface *c = m_content();
    if (!c) {
        m_parts.area.setGeometry(0, 0, W, H);
        return;
    }

    // No drawing while the layout changes; switching the picture back on draws it once.
    const bool picture = m_slideshow.mediaKind == MediaKind::Picture;
    const bool wasVisible = picture && m_parts.picture.Visible();
    if (picture)
        m_parts.picture.setVisible(false);

    if (m_options.isChecked(Opt::chkStretchImage)) {
        const bool hiddenForLayout = std::exchange(m_barsHiddenLater, false);
        if (!m_parts.hBar.isHidden() || !m_parts.vBar.isHidden()) {
            m_parts.hBar.hide();
            m_parts.vBar.hide();
            if (!hiddenForLayout)
                c->setFitToSize();
        }
        m_parts.area.setGeometry(0, 0, W, H);
        fitContentToArea(W, H);
    } else {
        layoutScrollBars();
        m_slideshow.setLayoutDone(true);
    }
    centreContent();
    if (picture)
        m_parts.picture.setVisible(wasVisible);
}

void ViewerLayout::placeStatusBar()
{
    const int h = statusBarHeight();
    m_parts.statusBar.setGeometry(0, m_parts.window.height() - h, m_parts.window.width(), h);
}

bool ViewerLayout::isCursorOverViewer() const
{
    return ViewerGeometry::isCursorOverViewer(QCursor::pos(), outerTwips(),
                                              m_metrics.twipsPerPixelX, m_metrics.twipsPerPixelY);
}

QSize ViewerLayout::visiblePart() const
{
    if (m_options.isChecked(Opt::chkZoomImage))
        return QSize();
    return m_metrics.workArea.size();
}

QSize ViewerLayout::largestStretchedSize() const
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

std::function<QSize(QSize)> ViewerLayout::stretchedSizeForecast() const
{
    if (!m_options.isChecked(Opt::chkStretchImage) || m_options.isChecked(Opt::chkZoomImage))
        return {};
    // The same rules as sizeViewerForFile(), over what they read of the window now.
    if (m_options.isChecked(Opt::chkFixFormSize)) {
        return [width = m_metrics.viewAreaWidth, height = m_metrics.viewAreaHeight,
                keepRatio = m_options.isChecked(Opt::chkFixHeightWidthRate)](QSize natural) {
            return ViewerGeometry::fitContentToArea(width, height, keepRatio,
                                                    Slideshow::aspectRatioOf(natural));
        };
    }
    const SizeLimitOptions limits = sizeLimitOptions();
    QPoint at = m_parts.window.frameGeometry().topLeft();
    if (!limits.fixFormOn)
        at = topLeftInside(at, m_metrics.workArea);
    return [max = sizeLimits(limits, m_metrics.workArea, at), frameWidth = m_metrics.frameWidth,
            frameHeight = m_metrics.frameHeight](QSize natural) {
        // A stretched picture has no scroll bars.
        const WindowFit fit = ViewerGeometry::fitWindowToContent(
            natural, max.width(), max.height(), frameWidth, frameHeight, 0, 0, true,
            Slideshow::aspectRatioOf(natural));
        return fit.contentSize.value_or(QSize());
    };
}

int ViewerLayout::statusBarHeight() const
{
    return m_parts.statusBar.sizeHint().height();
}

int ViewerLayout::shownStatusBarHeight() const
{
    return m_options.isChecked(Opt::chkShowStatusbar) ? statusBarHeight() : 0;
}

int ViewerLayout::hBarHeight() const
{
    return m_parts.window.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &m_parts.hBar);
}

int ViewerLayout::vBarWidth() const
{
    return m_parts.window.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &m_parts.vBar);
}

QMargins ViewerLayout::currentFrameMargins() const
{
    const QRect frame = m_parts.window.frameGeometry();
    const QRect client = m_parts.window.geometry();
    return QMargins(client.left() - frame.left(), client.top() - frame.top(),
                    frame.right() - client.right(), frame.bottom() - client.bottom());
}

void ViewerLayout::setOuterSize(int width, int height)
{
    const QMargins m = currentFrameMargins();
    m_parts.window.resize(std::max(1, width - m.left() - m.right()),
                          std::max(1, height - m.top() - m.bottom()));
    // A hidden window gets its resize event only when it is shown, but the layout of the file
    // being shown needs the new display area now: the first file of every show is sized while
    // the viewer is still hidden.
    if (m_parts.window.testAttribute(Qt::WA_PendingResizeEvent)) {
        m_metrics.viewAreaWidth = m_parts.window.width();
        m_metrics.viewAreaHeight = std::max(0, m_parts.window.height() - shownStatusBarHeight());
    }
}

QRect ViewerLayout::outerTwips() const
{
    const QRect r = m_parts.window.frameGeometry();
    const int tppX = m_metrics.twipsPerPixelX;
    const int tppY = m_metrics.twipsPerPixelY;
    return QRect(r.x() * tppX, r.y() * tppY, r.width() * tppX, r.height() * tppY);
}

void ViewerLayout::hideScrollBars()
{
    if (m_parts.hBar.isHidden() && m_parts.vBar.isHidden())
        return;
    if (std::exchange(m_barsHiddenLater, true))
        return;
    // A queued call runs before the repaint, which waits at a lower priority: no frame shows
    // the bars of a file that has none.
    QMetaObject::invokeMethod(
        &m_parts.window,
        [this] {
            if (std::exchange(m_barsHiddenLater, false)) {
                m_parts.hBar.hide();
                m_parts.vBar.hide();
            }
        },
        Qt::QueuedConnection);
}
