#pragma once

#include <future>

// Work that the first window would otherwise wait for, done on other threads while the
// application starts.
class StartupWarmup
{
public:
    // Starts reading the font configuration: the first window's status bar needs the font
    // database, and reading the configuration files is most of its cost.
    StartupWarmup();
    // Waits for what is still running.
    ~StartupWarmup();

    // Once the application is made: connects to the session bus. The accessibility support
    // connects at the first label text and waits for the bus meanwhile; where no session bus
    // runs, the attempt to start one takes longer still. The application waits for it before
    // it ends.
    void connectSessionBus();
    // Before the first window is built: waits for the font configuration, which the font
    // database would otherwise read a second time meanwhile.
    void waitForFonts();

private:
    std::future<void> m_fonts;
};
