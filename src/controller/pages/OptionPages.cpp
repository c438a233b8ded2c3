#include "controller/pages/OptionPages.h"

#include "controller/hotkeys/HotKeyPage.h"
#include "controller/pages/BgmPage.h"
#include "controller/pages/MoviePage.h"
#include "controller/pages/NumberCheck.h"
#include "controller/pages/NumberFieldGuard.h"
#include "controller/pages/OptionBinder.h"
#include "controller/pages/OptionEnabling.h"
#include "controller/pages/OrderPage.h"
#include "controller/pages/ViewerSettingsPage.h"
#include "controller/pages/ViewerSizePage.h"
#include "core/AppContext.h"

#include <QColorDialog>
#include <QFrame>
#include <QLineEdit>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

// Tab frames, from 0: the list page (0) and the plug-in page (7) are built elsewhere.
enum PageIndex { Order = 1, ViewerSettings, ViewerSize, Bgm, HotKey, Movie };

void place(QFrame *frame, QWidget *page)
{
    auto *layout = new QVBoxLayout(frame);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(page);
}

} // namespace

OptionPages *OptionPages::populate(QTabWidget &tabs, AppContext &context)
{
    return new OptionPages(tabs, context);
}

QFrame *OptionPages::frame(int index) const
{
    return qobject_cast<QFrame *>(m_tabs.widget(index));
}

OptionPages::OptionPages(QTabWidget &tabs, AppContext &context)
    : QObject(&tabs)
    , m_tabs(tabs)
    , m_options(context.options)
{
    setObjectName(QStringLiteral("OptionPages"));
    m_dialogs.chooseColor = [](QWidget *parent, const QColor &initial) -> std::optional<QColor> {
        const QColor c
            = QColorDialog::getColor(initial.isValid() ? initial : QColor(Qt::white), parent);
        return c.isValid() ? std::optional<QColor>(c) : std::nullopt;
    };

    place(frame(Order), new OrderPage(frame(Order)));
    m_viewerSettings = new ViewerSettingsPage(m_options, m_hooks, m_dialogs, frame(ViewerSettings));
    place(frame(ViewerSettings), m_viewerSettings);
    place(frame(ViewerSize), new ViewerSizePage(m_options, m_hooks, frame(ViewerSize)));
    place(frame(Bgm),
          new BgmPage(m_options, context.store, m_hooks, *context.fileDialogs, frame(Bgm)));
    place(frame(HotKey), new HotKeyPage(frame(HotKey)));
    place(frame(Movie), new MoviePage(m_hooks, frame(Movie)));

    m_binder = new OptionBinder(m_options, this);
    m_guard = new NumberFieldGuard(*context.messages, this);
    for (int i = Order; i <= Movie; ++i) {
        m_binder->bindChildren(frame(i));
        for (QLineEdit *field : frame(i)->findChildren<QLineEdit *>()) {
            const auto id = Options::find(field->objectName());
            if (const NumberFieldRule *rule = id ? NumberField::rule(*id) : nullptr)
                m_guard->watch(field, *rule);
        }
    }

    connect(&m_options, &Options::valueChanged, this, [this](Opt id) {
        if (OptionEnabling::isMaster(id))
            applyEnabling();
    });
    connect(&m_options, &Options::loaded, this, &OptionPages::applyEnabling);
    applyEnabling();
}

void OptionPages::applyEnabling()
{
    for (const OptionEnabling::Rule &r : OptionEnabling::rules()) {
        if (QWidget *w = control(r.control))
            w->setEnabled(OptionEnabling::isEnabled(m_options, r.control));
    }
}

QWidget *OptionPages::control(const QString &name) const
{
    for (int i = Order; i <= Movie; ++i) {
        if (auto *w = frame(i)->findChild<QWidget *>(name))
            return w;
    }
    return nullptr;
}

void OptionPages::applyToViewer()
{
    m_viewerSettings->applyToViewer();
}
