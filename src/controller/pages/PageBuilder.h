#pragma once

#include <QString>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLayout;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

// Small factories for the controls of the option pages: each control gets its object name,
// which is also the name of the option it shows.
class PageBuilder
{
public:
    static QGroupBox *frame(QWidget *parent, const QString &title);
    static QCheckBox *check(QWidget *parent, const QString &name, const QString &caption);
    static QRadioButton *option(QWidget *parent, const QString &name, const QString &caption);
    // A one-line field `chars` average characters wide.
    static QLineEdit *field(QWidget *parent, const QString &name, int chars);
    static QPushButton *button(QWidget *parent, const QString &name, const QString &caption);
    // A "..." button as narrow as its text allows.
    static QPushButton *ellipsis(QWidget *parent, const QString &name);
    static QComboBox *combo(QWidget *parent, const QString &name, const QStringList &items);
    // A caption for `buddy`, so that its access key moves the focus there.
    static QLabel *label(QWidget *parent, const QString &text, QWidget *buddy = nullptr);
    // A row of widgets, left-aligned unless `stretch` is false.
    static QHBoxLayout *row(std::initializer_list<QWidget *> widgets, bool stretch = true);
    // Indents a dependent control under the one it refines.
    static QLayout *indented(std::initializer_list<QWidget *> widgets);
};
