#pragma once

#include "core/ConfiguredListModel.h"
#include "imagelist/BuildProgress.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>

#include <functional>

class QLabel;
class QPushButton;
class Options;
class PlayList;
class RandomSource;

// The small waiting window shown over the controller while the image list is built. It
// disables its owner for the time of the build and offers Cancel.
class frmProgress : public QDialog, public BuildProgress
{
    Q_OBJECT
public:
    // `owner` is the window the dialog centres on and disables; `alwaysOnTop` keeps the dialog
    // above other windows, as the owner itself is.
    frmProgress(QWidget *owner, bool alwaysOnTop);
    ~frmProgress() override;

    // Builds `playList` from the checked entries while the dialog is shown. True when the
    // build ran to its end, false when the user cancelled.
    bool ShowProgressDialog(PlayList &playList, const Options &options, RandomSource &random,
                            const QList<ConfiguredEntry> &entries,
                            const std::function<void()> &confirmSaveShiori = {});

    void setPrepareStatus(const QString &text) override;
    void setPrepareStatus2(const QString &text) override;
    bool cancelRequested() const override { return m_cancelRequested; }
    void processPendingEvents() override;
    void refreshNow() override;

    QLabel *lblPrepareStatus = nullptr;
    QLabel *lblPrepareStatus2 = nullptr;
    QPushButton *cmdCancel = nullptr;

public slots:
    // Closing the window or pressing Escape counts as Cancel.
    void reject() override;

private:
    void cmdCancel_Click();
    void centreOnOwner();
    void showTexts();

    QPointer<QWidget> m_owner;
    bool m_cancelRequested = false;
    QString m_status;
    QString m_status2;
    bool m_textsChanged = false;
    QElapsedTimer m_sinceEvents;
};
