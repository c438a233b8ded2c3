#pragma once

#include <QStringList>
#include <QWidget>

struct AppContext;
class cSusie;
class OptionBinder;
class QCheckBox;
class QListWidget;
class QPushButton;

// "Susie": whether picture plug-ins are used, and the list of plug-ins in the order they are
// tried, edited with seven buttons. The list is the options' plug-in list, so it is saved and
// loaded with the profile.
class SusiePage : public QWidget
{
    Q_OBJECT
public:
    SusiePage(AppContext &context, QWidget *parent = nullptr);

    // The plug-in bridge the buttons ask; without one nothing can be added.
    void setBridge(cSusie *bridge) { m_bridge = bridge; }

    // Appends the plug-in unless it is listed already (letter case ignored) or is not a
    // picture input ("00IN") plug-in; true when it was appended.
    bool addSusiePlugin(const QString &path);
    // 0 add, 1 remove, 2 up, 3 down, 4 settings, 5 about, 6 automatic search.
    void cmdSusie_Click(int index);

    QListWidget *lstSusie;
    QCheckBox *chkUseSusiePlugin;
    QPushButton *cmdSusie[7];

private:
    void showList();
    void storeList(const QStringList &items, const QList<bool> &selected);
    QList<bool> selection() const;
    QString selectedPlugin() const;
    void addFromDialog();
    void autoSearch();

    AppContext &m_ctx;
    cSusie *m_bridge = nullptr;
    OptionBinder *m_binder;
    bool m_storing = false;
};
