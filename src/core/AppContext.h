#pragma once

#include "core/Clock.h"
#include "core/ConfiguredListModel.h"
#include "core/EventPump.h"
#include "core/FileDialogService.h"
#include "core/MessageService.h"
#include "core/Options.h"
#include "core/RandomSource.h"
#include "core/SettingProfiles.h"
#include "core/SettingsStore.h"

#include <memory>

// The services and models the whole program shares. main() owns the one instance and hands
// references to the windows; tests build their own with fakes.
struct AppContext
{
    AppContext(const QString &settingsFolder, std::unique_ptr<MessageService> messageService,
               std::unique_ptr<FileDialogService> fileDialogService,
               std::unique_ptr<Clock> clockService = std::make_unique<SystemClock>(),
               std::unique_ptr<RandomSource> randomService = std::make_unique<SystemRandom>(),
               std::unique_ptr<EventPump> eventService = std::make_unique<QtEventPump>())
        : store(settingsFolder)
        , messages(std::move(messageService))
        , fileDialogs(std::move(fileDialogService))
        , clock(std::move(clockService))
        , random(std::move(randomService))
        , events(std::move(eventService))
        , profiles(store, options, configuredList)
    { }

    SettingsStore store;
    Options options;
    ConfiguredListModel configuredList;
    std::unique_ptr<MessageService> messages;
    std::unique_ptr<FileDialogService> fileDialogs;
    std::unique_ptr<Clock> clock;
    std::unique_ptr<RandomSource> random;
    std::unique_ptr<EventPump> events;
    SettingProfiles profiles;
    QString helpFile;
    // Set once the program has begun to close; never cleared.
    bool closing = false;
};
