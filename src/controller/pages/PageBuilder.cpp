#include "controller/pages/PageBuilder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int indentWidth = 20;

} // namespace

QGroupBox *PageBuilder::frame(QWidget *parent, const QString &title)
{
    return new QGroupBox(title, parent);
}

QCheckBox *PageBuilder::check(QWidget *parent, const QString &name, const QString &caption)
{
    auto *c = new QCheckBox(caption, parent);
    c->setObjectName(name);
    return c;
}

QRadioButton *PageBuilder::option(QWidget *parent, const QString &name, const QString &caption)
{
    auto *o = new QRadioButton(caption, parent);
    o->setObjectName(name);
    return o;
}

QLineEdit *PageBuilder::field(QWidget *parent, const QString &name, int chars)
{
    auto *f = new QLineEdit(parent);
    f->setObjectName(name);
    const QFontMetrics fm = f->fontMetrics();
    // Room for the text plus the frame and the cursor.
    f->setFixedWidth(fm.horizontalAdvance(QString(chars, u'0')) + 14);
    return f;
}

QPushButton *PageBuilder::button(QWidget *parent, const QString &name, const QString &caption)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

QPushButton *PageBuilder::ellipsis(QWidget *parent, const QString &name)
{
    QPushButton *b = button(parent, name, QStringLiteral("..."));
    b->setFixedWidth(b->fontMetrics().horizontalAdvance(b->text()) + 24);
    return b;
}

QComboBox *PageBuilder::combo(QWidget *parent, const QString &name, const QStringList &items)
{
    auto *c = new QComboBox(parent);
    c->setObjectName(name);
    c->addItems(items);
    // The style's own estimate clips the full-width brackets of "（なし）".
    int widest = 0;
    for (const QString &item : items)
        widest = std::max(widest, c->fontMetrics().horizontalAdvance(item));
    c->setMinimumWidth(widest + 40);
    return c;
}

QLabel *PageBuilder::label(QWidget *parent, const QString &text, QWidget *buddy)
{
    auto *l = new QLabel(text, parent);
    if (buddy)
        l->setBuddy(buddy);
    return l;
}

QHBoxLayout *PageBuilder::row(std::initializer_list<QWidget *> widgets, bool stretch)
{
    auto *r = new QHBoxLayout;
    for (QWidget *w : widgets)
        r->addWidget(w);
    if (stretch)
        r->addStretch(1);
    return r;
}

QLayout *PageBuilder::indented(std::initializer_list<QWidget *> widgets)
{
    auto *outer = new QHBoxLayout;
    outer->addSpacing(indentWidth);
    auto *column = new QVBoxLayout;
    for (QWidget *w : widgets)
        column->addWidget(w);
    outer->addLayout(column, 1);
    return outer;
}
