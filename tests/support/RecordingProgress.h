#pragma once

#include "FakeServices.h"
#include "imagelist/BuildProgress.h"

#include <QStringList>

// Records every status text of a build and lets the test press Cancel from `events.onEvents`.
class RecordingProgress : public BuildProgress
{
public:
    void setPrepareStatus(const QString &text) override { statusTexts.append(text); }
    void setPrepareStatus2(const QString &text) override { countTexts.append(text); }
    bool cancelRequested() const override { return cancel; }
    void processPendingEvents() override { events.processPendingEvents(); }
    void refreshNow() override { events.processPendingEvents(); }

    QString lastStatus() const { return statusTexts.isEmpty() ? QString() : statusTexts.last(); }

    QStringList statusTexts;
    QStringList countTexts;
    bool cancel = false;
    FakeEventPump events;
};
