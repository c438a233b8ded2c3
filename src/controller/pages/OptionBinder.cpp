#include "controller/pages/OptionBinder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalBlocker>

OptionBinder::OptionBinder(Options &options, QObject *parent)
    : QObject(parent)
    , m_options(options)
{
    connect(&m_options, &Options::valueChanged, this, &OptionBinder::showValue);
}

void OptionBinder::bindChildren(QWidget *root)
{
    for (QWidget *w : root->findChildren<QWidget *>()) {
        if (const auto id = Options::find(w->objectName()))
            bind(*id, w);
    }
}

void OptionBinder::bind(Opt id, QWidget *w)
{
    m_widgets.insert(int(id), w);
    switch (Options::info(id).kind) {
    case OptionKind::Check:
        if (auto *c = qobject_cast<QCheckBox *>(w)) {
            connect(c, &QCheckBox::stateChanged, this, [this, id](int state) {
                m_options.setCheck(id, state == Qt::Checked ? 1 : state == Qt::Unchecked ? 0 : 2);
            });
        }
        break;
    case OptionKind::Option:
        if (auto *o = qobject_cast<QRadioButton *>(w)) {
            // The model clears the rest of the group itself.
            connect(o, &QRadioButton::toggled, this, [this, id](bool on) {
                if (on)
                    m_options.setOption(id, true);
            });
        }
        break;
    case OptionKind::Text:
        if (auto *t = qobject_cast<QLineEdit *>(w))
            connect(t, &QLineEdit::textChanged, this,
                    [this, id](const QString &text) { m_options.setText(id, text); });
        break;
    case OptionKind::Combo:
        if (auto *c = qobject_cast<QComboBox *>(w))
            connect(c, &QComboBox::currentIndexChanged, this,
                    [this, id](int index) { m_options.setComboIndex(id, index); });
        break;
    }
    showValue(id);
}

void OptionBinder::showValue(Opt id)
{
    QWidget *w = widget(id);
    if (!w)
        return;
    const QSignalBlocker block(w);
    if (auto *c = qobject_cast<QCheckBox *>(w)) {
        const int v = m_options.check(id);
        c->setCheckState(v == 1 ? Qt::Checked : v == 0 ? Qt::Unchecked : Qt::PartiallyChecked);
    } else if (auto *o = qobject_cast<QRadioButton *>(w)) {
        const bool on = m_options.option(id);
        if (on) {
            o->setChecked(true); // its partner's toggled(false) writes nothing
        } else if (o->isChecked()) {
            // An exclusive button cannot be cleared directly.
            const bool exclusive = o->autoExclusive();
            o->setAutoExclusive(false);
            o->setChecked(false);
            o->setAutoExclusive(exclusive);
        }
    } else if (auto *t = qobject_cast<QLineEdit *>(w)) {
        // Leave the cursor alone while the user's own edit comes back.
        if (t->text() != m_options.text(id))
            t->setText(m_options.text(id));
    } else if (auto *c = qobject_cast<QComboBox *>(w)) {
        c->setCurrentIndex(m_options.comboIndex(id));
    }
}
