#pragma once

#include "viewer/jump/JumpHistory.h"

#include <QWidget>

class JumpResultModel;
class MessageService;
class QCheckBox;
class QComboBox;
class QListView;
class QPushButton;
class SettingsStore;
class Slideshow;

// The page jump dialog: moves the show to a position, a step from the current file, a file
// found by a text in its path, or the file shown last before the previous exit. Modeless and
// owned by the viewer; deletes itself when closed.
class frmJump : public QWidget
{
    Q_OBJECT
public:
    frmJump(Slideshow &slideshow, SettingsStore &store, MessageService &messages, QWidget *viewer);
    ~frmJump() override;

    // Opens the one dialog of `viewer` (or raises it); nothing while the viewer is hidden.
    static frmJump *showPageJump(Slideshow &slideshow, SettingsStore &store,
                                 MessageService &messages, QWidget *viewer);

    void cmdJump_Click();
    void cmdSearch_Click();
    void cmdEndingPosition_Click();

    QComboBox *cmbJump;
    QListView *lstJump;
    QPushButton *cmdJump;
    QPushButton *cmdSearch;
    QPushButton *cmdEndingPosition;
    QPushButton *cmdCancel;
    QCheckBox *chkJumpOptions;
    QCheckBox *chkNotClose;

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void addToHistory();
    void jumpTo(int position);
    void saveHistory();

    Slideshow &m_slideshow;
    SettingsStore &m_store;
    MessageService &m_messages;
    JumpResultModel *m_results;
    JumpHistory m_history;
    bool m_saved = false;
    int m_searchKeyPresses = 0;
};
