#pragma once

#include <QString>

// What building the image list needs of the progress dialog: its two status lines, its Cancel
// button and a chance for the user interface to breathe.
class BuildProgress
{
public:
    virtual ~BuildProgress() = default;
    // What is being done (lblPrepareStatus); lines are separated by CR LF.
    virtual void setPrepareStatus(const QString &text) = 0;
    // How many files were added so far (lblPrepareStatus2).
    virtual void setPrepareStatus2(const QString &text) = 0;
    virtual bool cancelRequested() const = 0;
    // Lets pending events run; called once per folder and entry, so a dialog may skip calls
    // that come too soon after the last one.
    virtual void processPendingEvents() = 0;
    // Shows the texts and lets pending events run now, before a long step without yields.
    virtual void refreshNow() = 0;
};
